// The last-news marker: reading the id and setting the marker line.
#include "brand/brand_last_news.h"

#include "brand/brand_document.h"
#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "brand/brand_support.h"

#include <gtest/gtest.h>

namespace lintrel {
namespace {

using Lines = std::vector<std::string>;

// One write followed by a read, through the document text as it would be stored.
std::string writeThenRead(const std::string &document, const std::string &id)
{
    const std::string written =
        joinDocumentLines(setLastNewsIdLine(readDocumentLines(document), id));
    return extractLastNewsId(joinDocumentLines(readDocumentLines(written)));
}

TEST(LastNewsMarker, SetsTheMarkerLine)
{
    struct Row
    {
        const char *name;
        Lines before;
        std::string id;
        Lines after;
    };
    const Row rows[] = {
        {"appended when absent",
         {"a", "b"},
         "120",
         {"a", "b", "<%%LastNewsId%%>120<%%/LastNewsId%%>"}},
        {"replaced in place",
         {"a", "<%%LastNewsId%%>120<%%/LastNewsId%%>", "b"},
         "121",
         {"a", "<%%LastNewsId%%>121<%%/LastNewsId%%>", "b"}},
        {"line with another field replaced whole",
         {"<%%AboutText%%>x<%%/AboutText%%><%%LastNewsId%%>5<%%/LastNewsId%%>"},
         "6",
         {"<%%LastNewsId%%>6<%%/LastNewsId%%>"}},
        {"lower-case marker not found by the writer",
         {"<%%lastnewsid%%>7<%%/lastnewsid%%>"},
         "8",
         {"<%%lastnewsid%%>7<%%/lastnewsid%%>", "<%%LastNewsId%%>8<%%/LastNewsId%%>"}},
        {"only the first marker line",
         {"<%%LastNewsId%%>1", "<%%LastNewsId%%>2"},
         "3",
         {"<%%LastNewsId%%>3<%%/LastNewsId%%>", "<%%LastNewsId%%>2"}},
        {"empty id", {}, "", {"<%%LastNewsId%%><%%/LastNewsId%%>"}},
        {"line breaks and zero bytes dropped from the id",
         {"a"},
         std::string("1\r\n2\0"
                     "3",
                     6),
         {"a", "<%%LastNewsId%%>123<%%/LastNewsId%%>"}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(setLastNewsIdLine(row.before, row.id), row.after) << row.name;
}

TEST(LastNewsMarker, ReadsTheFirstMarkerInAnyCase)
{
    struct Row
    {
        const char *text;
        const char *id;
    };
    const Row rows[] = {
        {"x\r\n<%%LastNewsId%%>121<%%/LastNewsId%%>\r\n", "121"},
        {"<%%lastnewsid%%>7<%%/LASTNEWSID%%>\r\n<%%LastNewsId%%>8<%%/LastNewsId%%>\r\n", "7"},
        {"<%%LastNewsId%%>9\r\n", ""},
        {"no marker\r\n", ""},
        {"", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(extractLastNewsId(row.text), row.id) << row.text;
}

TEST(LastNewsMarker, WriteThenReadKeepsOneMarkerAndTheBrandFields)
{
    const std::string sample = testing::readFixture("brand/sample_brand.txt");
    const std::string once = joinDocumentLines(setLastNewsIdLine(readDocumentLines(sample), "121"));
    const std::string twice = joinDocumentLines(setLastNewsIdLine(readDocumentLines(once), "122"));
    EXPECT_EQ(extractLastNewsId(twice), "122");
    EXPECT_EQ(readDocumentLines(twice).size(), readDocumentLines(sample).size());
    EXPECT_EQ(brandReport(readBrandDocument(twice)), brandReport(readBrandDocument(sample)));
    EXPECT_EQ(writeThenRead("", ""), "");
    EXPECT_EQ(writeThenRead("a\nb", "120"), "120");
    EXPECT_EQ(writeThenRead("<%%lastnewsid%%>7<%%/lastnewsid%%>", "8"), "7");
}

} // namespace
} // namespace lintrel
