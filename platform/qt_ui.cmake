# Window-side adapters (Qt): message boxes and the settings store standing for the registry.
if(TESSIVO_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_library(platform_qt STATIC message_box.cpp registry.cpp)
  target_include_directories(platform_qt PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(platform_qt PUBLIC Qt6::Widgets)
endif()
