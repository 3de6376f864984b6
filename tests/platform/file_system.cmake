# Tests of the engine-side file adapter.
tessivo_add_test(platform_file_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_system_test.cpp
                 LIBS platform_file)
