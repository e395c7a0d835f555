# Benchmarks of the HTTP client and the news text decoder.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)
lintrel_add_bench(bench_net SOURCES net_bench.cpp LIBS lintrel_net lintrel_test_support)
