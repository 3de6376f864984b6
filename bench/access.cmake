# The program's catalog queries through the access layer against SQLite on the same rows: opening
# the catalog, the vendor walk, and one vendor's models found by Filter + FindFirst/FindNext.
find_package(SQLite3 REQUIRED)
add_executable(access_bench ${CMAKE_CURRENT_LIST_DIR}/access_bench.cpp)
target_link_libraries(access_bench PRIVATE tessdb_access SQLite::SQLite3)
target_include_directories(access_bench PRIVATE ${CMAKE_SOURCE_DIR})
