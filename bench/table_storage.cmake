# Table storage: append, load, full scan and index search of a 100,000-record encrypted models
# table, against SQLite on the same rows.
find_package(SQLite3 REQUIRED)
add_executable(table_storage_bench ${CMAKE_CURRENT_LIST_DIR}/table_storage_bench.cpp)
target_link_libraries(table_storage_bench PRIVATE tessdb_storage benchmark::benchmark SQLite::SQLite3)
target_include_directories(table_storage_bench PRIVATE ${CMAKE_SOURCE_DIR})
