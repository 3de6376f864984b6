# Filter expressions: evaluations per second against SQLite's WHERE on the same rows, the cost of
# a parse, and an allocation count per evaluation.
find_package(SQLite3 REQUIRED)
add_executable(filter_bench ${CMAKE_CURRENT_LIST_DIR}/filter_bench.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/allocation_counter.cpp)
target_link_libraries(filter_bench PRIVATE tessdb_filter benchmark::benchmark SQLite::SQLite3)
target_include_directories(filter_bench PRIVATE ${CMAKE_SOURCE_DIR})
