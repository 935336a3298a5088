# The template engine against the literal algorithm it must match.
quillary_core_bench(engine_bench
  ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/convert/LiteralEngine.cpp)
