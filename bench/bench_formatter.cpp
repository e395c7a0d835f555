// Throughput of the text statistics, the line wrapper and the email-aware wrapper.
//
// `bench_formatter --write-corpus FILE BYTES [utf8]` writes a corpus file instead of
// benchmarking (used by format_vs_coreutils.sh).
#include "corpus.h"
#include "formatter/email_wrap.h"
#include "formatter/line_wrap.h"
#include "formatter/text_samples.h"
#include "formatter/text_stats.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t kCorpusBytes = 8 << 20;

const std::string &corpus(bool utf8)
{
    static const std::string ascii = lintrel::makeEmailCorpus(kCorpusBytes, false);
    static const std::string unicode = lintrel::makeEmailCorpus(kCorpusBytes, true);
    return utf8 ? unicode : ascii;
}

const std::u16string &corpus16(bool utf8)
{
    static const std::u16string ascii = lintrel::test::toUtf16(corpus(false));
    static const std::u16string unicode = lintrel::test::toUtf16(corpus(true));
    return utf8 ? unicode : ascii;
}

void BM_StatsUtf8(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::computeTextStats(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_StatsUtf8Sse2(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::detail::statsSse2(text.data(), text.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_StatsUtf16(benchmark::State &state)
{
    const std::u16string &text = corpus16(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::computeTextStats(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}

void BM_WrapUtf8(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::wrapText(text, 60));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// The same into a reused buffer, as lintrel-format does: no fresh pages for the output.
void BM_WrapUtf8Reused(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    std::string out;
    for (auto _ : state) {
        out.clear();
        lintrel::appendWrappedText(out, text, 60, "\r\n");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_WrapUtf16(benchmark::State &state)
{
    const std::u16string &text = corpus16(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::wrapText(text, 60));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}

// The same two in screen columns.
void BM_StatsUtf8Columns(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::computeTextStats(text, lintrel::Measure::Columns));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_WrapUtf8Columns(benchmark::State &state)
{
    const std::string &text = corpus(state.range(0) != 0);
    std::string out;
    for (auto _ : state) {
        out.clear();
        lintrel::appendWrappedText(out, text, 60, "\r\n", lintrel::Measure::Columns);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

const std::string &threadCorpus(bool utf8)
{
    static const std::string ascii = lintrel::makeEmailThreadCorpus(kCorpusBytes, false);
    static const std::string unicode = lintrel::makeEmailThreadCorpus(kCorpusBytes, true);
    return utf8 ? unicode : ascii;
}

// Email-aware Format (argument 1: reflow, 2: format=flowed) on the reply-thread corpus.
template <bool Reflow> void BM_Email(benchmark::State &state)
{
    const std::string &text = threadCorpus(state.range(0) != 0);
    const lintrel::EmailWrapOptions options{60, nullptr, state.range(1) != 0, "\r\n"};
    for (auto _ : state) {
        benchmark::DoNotOptimize(Reflow ? lintrel::emailReflow(text, options)
                                        : lintrel::emailFormat(text, options));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// A pasted blob without white space (base64, a minified file): cut inside again and again.
void BM_EmailFormatOneLongWord(benchmark::State &state)
{
    std::string text(size_t(4) << 20, 'x');
    for (size_t i = 0; i < text.size(); i += 7)
        text[i] = char('a' + i % 26);
    const lintrel::EmailWrapOptions options{60, nullptr, false, "\r\n"};
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::emailFormat(text, options));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// The described wrapper on the same corpus, for comparison.
void BM_WrapThreadCorpus(benchmark::State &state)
{
    const std::string &text = threadCorpus(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::wrapText(text, 60));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// Argument 0: ASCII corpus, 1: UTF-8 corpus with accents and emoji.
BENCHMARK(BM_StatsUtf8)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_StatsUtf8Sse2)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_StatsUtf16)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_WrapUtf8)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_WrapUtf8Reused)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_WrapUtf16)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_EmailFormatOneLongWord);
BENCHMARK(BM_WrapThreadCorpus)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_Email<false>)
    ->Name("BM_EmailFormat")
    ->ArgNames({"utf8", "flowed"})
    ->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(BM_Email<true>)
    ->Name("BM_EmailReflow")
    ->ArgNames({"utf8", "flowed"})
    ->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(BM_StatsUtf8Columns)->ArgName("utf8")->Arg(0)->Arg(1);
BENCHMARK(BM_WrapUtf8Columns)->ArgName("utf8")->Arg(0)->Arg(1);

int writeCorpus(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s --write-corpus FILE BYTES [utf8]\n", argv[0]);
        return 2;
    }
    const std::string text = lintrel::makeEmailCorpus(
        std::strtoull(argv[3], nullptr, 10), argc > 4 && std::strcmp(argv[4], "utf8") == 0);
    std::FILE *f = std::fopen(argv[2], "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
        std::fclose(f) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--write-corpus") == 0)
        return writeCorpus(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
