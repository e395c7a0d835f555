# AesLib and the settings container against OpenSSL doing the same work.
lintrel_add_bench(bench_crypto SOURCES bench_crypto.cpp LIBS lintrel_core OpenSSL::Crypto)
