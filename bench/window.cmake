# The real main window under the offscreen platform: keystroke latency, Format, start-up.
lintrel_add_bench(bench_window SOURCES bench_window.cpp
                  LIBS lintrel_gui lintrel_bench_corpus Qt6::Test)
