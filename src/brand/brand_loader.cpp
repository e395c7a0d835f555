// The brand loader: fields in order from one working text, entry lists, the run's picks.
#include "brand/brand_loader.h"

#include "util/app_version.h"
#include "util/fields.h"

#include <algorithm>
#include <tuple>

namespace lintrel {

namespace {

constexpr std::string_view kAffiliatePlaceholder = "%%AFFILIATEID%%";

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

// Entries family1, family2, ... up to the first empty or missing one.
std::vector<std::string> readEntries(std::string_view family, std::string &work)
{
    std::vector<std::string> entries;
    for (int n = 1; n <= kMaxEntries; ++n) {
        const std::string name = std::string(family) + std::to_string(n);
        std::string value = ExtractTagValue(openingTag(name), closingTag(name), work);
        if (value.empty())
            break;
        entries.push_back(std::move(value));
    }
    return entries;
}

// First and second "^" field of an entry; a missing field is empty.
std::pair<std::string, std::string> splitEntry(std::string_view entry)
{
    std::vector<std::string> fields;
    SplitFields('^', entry, fields);
    fields.resize(std::max<std::size_t>(fields.size(), 2));
    return {std::move(fields[0]), std::move(fields[1])};
}

std::size_t draw(RandomSource &random, std::size_t count)
{
    random.reseed();
    // The modulo only matters for a misbehaving source; a correct one is already in range.
    return random.below(static_cast<uint32_t>(count)) % count;
}

void pickBanner(BrandLoadResult &r, RandomSource &random)
{
    if (r.bannerEntries.empty())
        return;
    const std::size_t b = draw(random, r.bannerEntries.size());
    r.bannerIndex = b;
    auto [file, url] = splitEntry(r.bannerEntries[b]);
    r.settings.BannerFile = std::move(file);
    r.settings.BannerURL = std::move(url);
    r.bannerHandCursor = !r.settings.BannerURL.empty();
    r.bannerIsGif =
        toLowerAscii(bannerFileNamePart(r.settings.BannerFile)).find(".gif") != std::string::npos;
    r.bannerFormat = bannerImageFormat(r.settings.BannerFile);
}

void pickLinks(BrandLoadResult &r, RandomSource &random)
{
    std::vector<std::string> links = r.linkEntries;
    if (links.empty())
        return;
    std::size_t i = draw(random, links.size());
    std::tie(r.settings.Link1Caption, r.settings.Link1URL) = splitEntry(links[i]);
    links.erase(links.begin() + static_cast<std::ptrdiff_t>(i));
    if (!links.empty()) {
        i = draw(random, links.size());
        std::tie(r.settings.Link2Caption, r.settings.Link2URL) = splitEntry(links[i]);
    }
    r.linksPanelVisible = !r.settings.Link1Caption.empty();
}

} // namespace

std::string BrandLoadResult::bannerDataFileName() const
{
    if (!bannerIndex || settings.BannerFile.empty())
        return {};
    return "banner" + std::to_string(*bannerIndex + 1) + ".dat";
}

bool newsButtonVisible(const BrandSettings &s)
{
    const std::string &level = s.BranderType;
    if (level == "Master" || level == "Free")
        return !s.MasterPublID.empty() && !s.MasterNewsBaseURL.empty();
    if (level == "Platinum")
        return !s.PlatinumPublID.empty() && !s.PlatinumNewsBaseURL.empty();
    if (level == "Gold")
        return !s.GoldPublID.empty() && !s.GoldNewsBaseURL.empty();
    return false;
}

std::string bannerFileNamePart(std::string_view bannerFile)
{
    const std::size_t sep = bannerFile.find_last_of("\\/:");
    return std::string(sep == std::string_view::npos ? bannerFile : bannerFile.substr(sep + 1));
}

std::string bannerImageFormat(std::string_view bannerFile)
{
    const std::string name = bannerFileNamePart(bannerFile);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : toLowerAscii(name.substr(dot + 1));
}

BrandLoadResult readBrandDocument(std::string_view documentBytes)
{
    BrandLoadResult r;
    std::string work = joinDocumentLines(readDocumentLines(documentBytes));
    for (const BrandField &field : kBrandFields) {
        r.settings.*field.member =
            ExtractTagValue(openingTag(field.tag), closingTag(field.tag), work);
        if (field.tag == "AffiliateID") {
            r.settings.AffiliateURL =
                replaceAll(r.settings.AffiliateURL, kAffiliatePlaceholder, r.settings.AffiliateID);
        }
    }
    r.caption = r.settings.ApplicationName + " v" + std::string(kAppVersion);
    r.newsButtonVisible = newsButtonVisible(r.settings);
    r.makeMoneyCaption =
        r.settings.MakeMoneyButton.empty() ? std::string("Make Money") : r.settings.MakeMoneyButton;
    r.welcomeEntries = readEntries("Welcome", work);
    r.bannerEntries = readEntries("Banner", work);
    r.linkEntries = readEntries("Link", work);
    return r;
}

BrandLoadResult loadBrandDocument(std::string_view documentBytes, RandomSource &random)
{
    BrandLoadResult r = readBrandDocument(documentBytes);
    if (!r.welcomeEntries.empty())
        r.settings.WelcomePage = r.welcomeEntries[draw(random, r.welcomeEntries.size())];
    pickBanner(r, random);
    pickLinks(r, random);
    return r;
}

} // namespace lintrel
