# Brand document loading and checks.
lintrel_add_bench(bench_brand SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_brand.cpp LIBS lintrel_core)
