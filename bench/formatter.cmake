# Formatter benchmarks, and the email-like corpus other benchmarks can link.
add_library(lintrel_bench_corpus STATIC ${CMAKE_CURRENT_LIST_DIR}/corpus.cpp)
target_include_directories(lintrel_bench_corpus PUBLIC ${CMAKE_CURRENT_LIST_DIR})

lintrel_add_bench(bench_formatter SOURCES bench_formatter.cpp LIBS lintrel_core lintrel_bench_corpus)
# The UTF-16 conversion comes from the tests' sample helpers.
target_include_directories(bench_formatter PRIVATE ${PROJECT_SOURCE_DIR}/tests)
