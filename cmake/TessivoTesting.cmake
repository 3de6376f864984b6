# Helpers for the tests, fuzz targets and benchmarks of every folder.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# tessivo_add_test(NAME [OWN_MAIN] SOURCES... LIBS libs...): one GoogleTest executable, its cases
# discovered by CTest. OWN_MAIN: the sources bring main() (GUI tests create the application first).
function(tessivo_add_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()

# tessivo_add_fuzzer(NAME SOURCES... LIBS libs... [CORPUS dir]): a libFuzzer target. It builds only
# with clang in the sanitizer build, where CTest runs it for TESSIVO_FUZZ_SECONDS.
function(tessivo_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT (TESSIVO_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang"))
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(seeds)
  if(ARG_CORPUS)
    set(seeds ${ARG_CORPUS})
  endif()
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${TESSIVO_FUZZ_SECONDS} -rss_limit_mb=4096 -timeout=10
                   ${corpus} ${seeds})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900 LABELS fuzz)
endfunction()
