# Engine-side locale adapter: number, date and time conventions and text collation (no Qt).
add_library(platform_locale STATIC ${CMAKE_CURRENT_LIST_DIR}/locale.cpp)
target_include_directories(platform_locale PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(platform_locale PUBLIC tessdb_core)
if(TESSIVO_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  target_compile_options(platform_locale PRIVATE -fsanitize=fuzzer-no-link)
endif()
