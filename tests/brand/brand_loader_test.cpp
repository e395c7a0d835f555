// The brand loader: field order, placeholders, entry lists, news button, the run's picks.
#include "brand/brand_loader.h"

#include "brand/brand_support.h"

#include <gtest/gtest.h>

namespace lintrel {
namespace {

using testing::ScriptedRandom;

std::string tagged(const std::string &name, const std::string &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

TEST(BrandLoader, ReadsEveryFieldOfTheSampleDocument)
{
    ScriptedRandom random({1, 1, 2, 0});
    const BrandLoadResult r =
        loadBrandDocument(testing::readFixture("brand/sample_brand.txt"), random);
    const BrandSettings &s = r.settings;
    EXPECT_EQ(s.ApplicationName, "Sample Product");
    EXPECT_EQ(r.caption, "Sample Product v2.0");
    EXPECT_EQ(s.BranderCode, "SAMPLE");
    EXPECT_EQ(s.BranderType, "Gold");
    // Both exact placeholders replaced, the lower-case one kept.
    EXPECT_EQ(s.AffiliateURL, "http://aff.example/?id=A7&again=A7&keep=%%affiliateid%%");
    EXPECT_EQ(s.AffiliateTYPE, "cpc");
    EXPECT_EQ(s.GoldNewsBaseURL, "http://gold.example/");
    EXPECT_EQ(s.PlatinumPublID, "22");
    EXPECT_EQ(r.makeMoneyCaption, "Earn");
    EXPECT_EQ(s.AppHelpURL, "http://help.example/");
    EXPECT_EQ(s.CopyrightCompany, "Sample Ltd.");
    EXPECT_EQ(s.AboutText, "Line one\r\nline two"); // joined with CR LF, not trimmed
    EXPECT_TRUE(r.newsButtonVisible);
    EXPECT_EQ(r.welcomeEntries.size(), 2u);
    EXPECT_EQ(r.linkEntries.size(), 3u);
    // Picks: welcome 1 of 2, banner 1 of 2, link 2 of 3, then link 0 of the remaining 2.
    EXPECT_EQ(s.WelcomePage, "<h1>Two</h1>");
    EXPECT_EQ(s.BannerFile, "summer.png");
    EXPECT_EQ(s.BannerURL, "http://banner.example/");
    EXPECT_EQ(r.bannerDataFileName(), "banner2.dat");
    EXPECT_FALSE(r.bannerIsGif);
    EXPECT_EQ(r.bannerFormat, "png");
    EXPECT_TRUE(r.bannerHandCursor);
    EXPECT_EQ(s.Link1Caption, "Third");
    EXPECT_EQ(s.Link1URL, "");
    EXPECT_EQ(s.Link2Caption, "First");
    EXPECT_EQ(s.Link2URL, "http://one.example/");
    EXPECT_TRUE(r.linksPanelVisible);
    EXPECT_EQ(random.calls, (std::vector<uint32_t>{0, 2, 0, 2, 0, 3, 0, 2}));
}

TEST(BrandLoader, AffiliateIdReplacesEveryExactPlaceholder)
{
    struct Row
    {
        const char *url, *id, *expected;
    };
    const Row rows[] = {
        {"u?a=%%AFFILIATEID%%&b=%%AFFILIATEID%%", "7", "u?a=7&b=7"},
        {"u?a=%%AFFILIATEID%%", "", "u?a="},
        {"u?a=%%AffiliateID%%", "7", "u?a=%%AffiliateID%%"},
        {"u?a=%%AFFILIATEID%%", "%%AFFILIATEID%%", "u?a=%%AFFILIATEID%%"}, // not expanded again
    };
    for (const Row &row : rows) {
        const std::string doc = tagged("AffiliateURL", row.url) + tagged("AffiliateID", row.id);
        EXPECT_EQ(readBrandDocument(doc).settings.AffiliateURL, row.expected) << row.url;
    }
}

TEST(BrandLoader, AFieldBeforeAnEarlierFieldsEndIsNotFound)
{
    const std::string doc = tagged("BranderCode", "CODE") + tagged("ApplicationName", "App") +
                            tagged("BranderType", "Free") + tagged("AboutText", "About");
    const BrandLoadResult r = readBrandDocument(doc);
    EXPECT_EQ(r.settings.ApplicationName, "App");
    EXPECT_EQ(r.settings.BranderCode, "");
    EXPECT_EQ(r.settings.BranderType, "Free");
    EXPECT_EQ(r.settings.AboutText, "About");
}

TEST(BrandLoader, TagsMatchInAnyLetterCaseAndUnclosedFieldsAreEmpty)
{
    const std::string doc = "<%%applicationname%%>App<%%/APPLICATIONNAME%%>\r\n"
                            "<%%BranderCode%%>never closed\r\n" +
                            tagged("BranderType", "Master");
    const BrandLoadResult r = readBrandDocument(doc);
    EXPECT_EQ(r.settings.ApplicationName, "App");
    EXPECT_EQ(r.settings.BranderCode, "");
    EXPECT_EQ(r.settings.BranderType, "Master"); // read on from where the text was left
}

TEST(BrandLoader, EntryFamiliesEndAtTheFirstEmptyOrMissingNumber)
{
    struct Row
    {
        const char *name;
        std::string doc;
        std::size_t welcomes;
    };
    std::string sixteenPlus;
    for (int n = 1; n <= 17; ++n)
        sixteenPlus += tagged("Welcome" + std::to_string(n), "w");
    const Row rows[] = {
        {"gap after two",
         tagged("Welcome1", "a") + tagged("Welcome2", "b") + tagged("Welcome4", "d"), 2},
        {"empty first", tagged("Welcome1", "") + tagged("Welcome2", "b"), 0},
        {"out of order",
         tagged("Welcome2", "b") + tagged("Welcome1", "a") + tagged("Welcome3", "c"), 1},
        {"at most sixteen", sixteenPlus, 16},
        {"none", "", 0},
    };
    for (const Row &row : rows) {
        ScriptedRandom random;
        const BrandLoadResult r = loadBrandDocument(row.doc, random);
        EXPECT_EQ(r.welcomeEntries.size(), row.welcomes) << row.name;
        EXPECT_EQ(r.settings.WelcomePage.empty(), row.welcomes == 0) << row.name;
        EXPECT_EQ(random.reseeds, row.welcomes == 0 ? 0 : 1) << row.name;
    }
}

TEST(BrandLoader, FamiliesContinueWhereThePreviousOneLeftTheText)
{
    // Link1 stands before the end of Banner1, so it is gone once the banners are read.
    const std::string doc =
        tagged("Link1", "L^u") + tagged("Banner1", "b.png^") + tagged("Link2", "M^v");
    const BrandLoadResult r = readBrandDocument(doc);
    EXPECT_EQ(r.bannerEntries, std::vector<std::string>{"b.png^"});
    EXPECT_TRUE(r.linkEntries.empty());
}

TEST(BrandLoader, NewsButtonRule)
{
    struct Row
    {
        const char *level;
        std::vector<std::pair<std::string, std::string>> fields;
        bool shown;
    };
    const Row rows[] = {
        {"Free", {{"MasterNewsBaseURL", "u"}, {"MasterPublID", "1"}}, true},
        {"free", {{"MasterNewsBaseURL", "u"}, {"MasterPublID", "1"}}, false},
        {"Master", {{"MasterNewsBaseURL", "u"}, {"MasterPublID", "1"}}, true},
        {"Master", {{"MasterPublID", "1"}}, false},
        {"Platinum", {{"PlatinumNewsBaseURL", "u"}, {"PlatinumPublID", "2"}}, true},
        {"Platinum", {{"MasterNewsBaseURL", "u"}, {"MasterPublID", "1"}}, false},
        {"Gold", {{"GoldPublID", "3"}}, false},
        {"Gold", {{"GoldNewsBaseURL", "u"}, {"GoldPublID", "3"}}, true},
        {"", {{"MasterNewsBaseURL", "u"}, {"MasterPublID", "1"}}, false},
    };
    for (const Row &row : rows) {
        std::string doc = tagged("BranderType", row.level);
        for (const BrandField &field : kBrandFields) {
            for (const auto &[name, value] : row.fields) {
                if (field.tag == name)
                    doc += tagged(name, value);
            }
        }
        EXPECT_EQ(readBrandDocument(doc).newsButtonVisible, row.shown)
            << row.level << " with " << row.fields.size() << " fields";
    }
}

TEST(BrandLoader, EmptyDocumentLeavesEverythingEmptyAndDrawsNothing)
{
    ScriptedRandom random;
    const BrandLoadResult r = loadBrandDocument("", random);
    EXPECT_EQ(r.caption, " v2.0");
    EXPECT_EQ(r.makeMoneyCaption, "Make Money");
    EXPECT_FALSE(r.newsButtonVisible);
    EXPECT_FALSE(r.bannerIndex.has_value());
    EXPECT_EQ(r.bannerDataFileName(), "");
    EXPECT_FALSE(r.linksPanelVisible);
    EXPECT_EQ(random.reseeds, 0);
}

TEST(BrandLoader, EmptyMakeMoneyButtonGivesTheDesignCaption)
{
    EXPECT_EQ(readBrandDocument(tagged("MakeMoneyButton", "")).makeMoneyCaption, "Make Money");
}

TEST(BrandLoader, GifBannerWithoutAddress)
{
    ScriptedRandom random({0});
    const BrandLoadResult r = loadBrandDocument(tagged("Banner1", "Spring.GIF^"), random);
    EXPECT_EQ(r.settings.BannerFile, "Spring.GIF");
    EXPECT_EQ(r.settings.BannerURL, "");
    EXPECT_FALSE(r.bannerHandCursor);
    EXPECT_TRUE(r.bannerIsGif);
    EXPECT_EQ(r.bannerFormat, "gif");
    EXPECT_EQ(r.bannerDataFileName(), "banner1.dat");
}

TEST(BrandLoader, BannerEntryWithoutFileNameShowsNoBanner)
{
    ScriptedRandom random;
    const BrandLoadResult r = loadBrandDocument(tagged("Banner1", "^http://x/"), random);
    EXPECT_EQ(r.bannerIndex, 0u);
    EXPECT_EQ(r.bannerDataFileName(), ""); // the window hides the banner panel
    EXPECT_TRUE(r.bannerHandCursor);
}

TEST(BrandLoader, LinksAreTwoDifferentEntries)
{
    struct Row
    {
        std::string doc;
        std::deque<uint32_t> picks;
        std::string first, second;
        std::vector<uint32_t> calls;
    };
    const std::string two = tagged("Link1", "A^a") + tagged("Link2", "B^b");
    const Row rows[] = {
        {tagged("Link1", "Only^http://only/"), {0}, "Only", "", {0, 1}},
        {two, {0, 0}, "A", "B", {0, 2, 0, 1}},
        {two, {1, 0}, "B", "A", {0, 2, 0, 1}},
        // An out-of-range answer from a faulty source still picks an entry.
        {two, {7, 9}, "B", "A", {0, 2, 0, 1}},
    };
    for (const Row &row : rows) {
        ScriptedRandom random(row.picks);
        const BrandLoadResult r = loadBrandDocument(row.doc, random);
        EXPECT_EQ(r.settings.Link1Caption, row.first);
        EXPECT_EQ(r.settings.Link2Caption, row.second);
        EXPECT_TRUE(r.linksPanelVisible);
        EXPECT_EQ(random.calls, row.calls);
    }
}

TEST(BrandLoader, LinkWithoutCaptionHidesThePanel)
{
    ScriptedRandom random;
    const BrandLoadResult r = loadBrandDocument(tagged("Link1", "^http://x/"), random);
    EXPECT_EQ(r.settings.Link1URL, "http://x/");
    EXPECT_FALSE(r.linksPanelVisible);
}

TEST(BannerFileName, PartAndFormat)
{
    struct Row
    {
        const char *file, *part, *format;
    };
    const Row rows[] = {
        {"Spring.GIF", "Spring.GIF", "gif"},
        {"C:\\art\\Spring.GIF", "Spring.GIF", "gif"},
        {"C:banner.JPG", "banner.JPG", "jpg"},
        {"art/sub.dir/pic", "pic", ""},
        {"a.b.Png", "a.b.Png", "png"},
        {"dir\\", "", ""},
        {"", "", ""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(bannerFileNamePart(row.file), row.part) << row.file;
        EXPECT_EQ(bannerImageFormat(row.file), row.format) << row.file;
    }
}

TEST(ClockRandomSource, DrawsStayInRange)
{
    ClockRandomSource random;
    for (uint32_t n : {1u, 2u, 16u}) {
        for (int i = 0; i < 50; ++i) {
            random.reseed();
            EXPECT_LT(random.below(n), n);
        }
    }
}

} // namespace
} // namespace lintrel
