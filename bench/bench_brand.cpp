// Loading and checking a full brand document (every field, sixteen entries per family).
#include "brand/brand_lint.h"
#include "brand/brand_loader.h"
#include "brand/brand_template.h"

#include <benchmark/benchmark.h>

namespace {

std::string fullDocument()
{
    std::string doc = lintrel::brandTemplate();
    doc = doc.substr(0, doc.find("Welcome pages"));
    const std::string html(2000, 'w');
    for (std::string_view family : lintrel::kEntryFamilies) {
        for (int n = 1; n <= lintrel::kMaxEntries; ++n) {
            const std::string name = std::string(family) + std::to_string(n);
            const std::string value = family == "Welcome" ? html : "pic.gif^https://example.com/";
            doc += lintrel::openingTag(name) + value + lintrel::closingTag(name) + "\r\n";
        }
    }
    return doc;
}

void BM_LoadBrandDocument(benchmark::State &state)
{
    const std::string doc = fullDocument();
    lintrel::ClockRandomSource random;
    for (auto _ : state)
        benchmark::DoNotOptimize(lintrel::loadBrandDocument(doc, random));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_LoadBrandDocument);

void BM_LintBrandDocument(benchmark::State &state)
{
    const std::string doc = fullDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            lintrel::lintBrandDocument(doc, [](const std::string &) { return true; }));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_LintBrandDocument);

} // namespace

BENCHMARK_MAIN();
