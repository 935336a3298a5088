quillary_core_bench(core_bench ${CMAKE_CURRENT_LIST_DIR}/core_bench.cpp)
