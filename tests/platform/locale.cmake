tessivo_add_test(platform_locale_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/locale_test.cpp
                 LIBS platform_locale)
target_include_directories(platform_locale_test PRIVATE ${CMAKE_SOURCE_DIR})
