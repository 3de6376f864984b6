# Engine-side file adapter: descriptors, share modes, byte locks, read-only attribute.
add_library(platform_file STATIC ${CMAKE_CURRENT_LIST_DIR}/file_system.cpp)
target_include_directories(platform_file PUBLIC ${CMAKE_SOURCE_DIR})
