// Fuzz target: brand loading, listing and checks on arbitrary document bytes.
#include "brand/brand_last_news.h"
#include "brand/brand_lint.h"
#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "brand/brand_skin.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Deterministic picks so that a crash reproduces.
class FixedRandom : public lintrel::RandomSource
{
public:
    void reseed() override { state_ = state_ * 1103515245u + 12345u; }
    uint32_t below(uint32_t n) override { return (state_ >> 16) % n; }

private:
    uint32_t state_ = 1;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    FixedRandom random;
    const lintrel::BrandLoadResult result = lintrel::loadBrandDocument(bytes, random);
    // Picks must come from the kept entries.
    if (result.bannerIndex && *result.bannerIndex >= result.bannerEntries.size())
        std::abort();
    if (result.settings.WelcomePage.empty() != result.welcomeEntries.empty())
        std::abort();
    const std::string report = lintrel::brandReport(result);
    if (report.find('\r') != std::string::npos)
        std::abort();
    for (const lintrel::LintWarning &w : lintrel::lintBrandDocument(
             bytes, [](const std::string &name) { return name.size() % 2; })) {
        if (w.message.find_first_of("\r\n") != std::string::npos)
            std::abort();
    }
    const auto lines = lintrel::readDocumentLines(bytes);
    const std::string written = lintrel::joinDocumentLines(lintrel::setLastNewsIdLine(lines, "42"));
    (void)lintrel::extractLastNewsId(written);
    (void)lintrel::decompressSkin(bytes);
    return 0;
}
