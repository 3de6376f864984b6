# Engine-side locale adapter: number, date and time conventions and text collation (no Qt).
add_library(platform_locale STATIC ${CMAKE_CURRENT_LIST_DIR}/locale.cpp)
target_include_directories(platform_locale PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(platform_locale PUBLIC tessdb_core)
