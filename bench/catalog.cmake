# The wizard's start-up to a filled vendor list and a vendor click to filled model lists, on the
# sample catalog and on a generated large one.
if(TESSIVO_BUILD_APP)
  add_executable(catalog_bench ${CMAKE_CURRENT_LIST_DIR}/catalog_bench.cpp)
  target_link_libraries(catalog_bench PRIVATE tessivo_app tessivo_catalog_file)
endif()
