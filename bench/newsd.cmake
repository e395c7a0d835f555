# Benchmarks of lintrel-newsd's request handling over a large content folder.
lintrel_add_bench(bench_newsd SOURCES bench_newsd.cpp LIBS lintrel_newsd_lib)
