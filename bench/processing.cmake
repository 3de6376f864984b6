# Stored-data processing: our ciphers and the ZLIB framing against libgcrypt and nettle.
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(BENCH_CIPHER_LIBS REQUIRED IMPORTED_TARGET libgcrypt nettle)
add_executable(processing_bench ${CMAKE_CURRENT_SOURCE_DIR}/processing_bench.cpp)
target_link_libraries(processing_bench PRIVATE tessdb_processing PkgConfig::BENCH_CIPHER_LIBS
                                               ZLIB::ZLIB)
