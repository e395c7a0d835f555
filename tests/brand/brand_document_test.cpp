// Reading the brand document as lines and joining them.
#include "brand/brand_document.h"

#include <gtest/gtest.h>

namespace lintrel {
namespace {

TEST(BrandDocumentLines, EndAtCrLfLoneCrLoneLfAndAZeroByte)
{
    using namespace std::string_literals;
    struct Row
    {
        const char *name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone CR", "a\rb", {"a", "b"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"mixed with empty lines", "a\n\r\n\rb", {"a", "", "", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"no final break", "a\r\nb", {"a", "b"}},
        {"zero byte ends it", "a\r\nb\0c\r\nd"s, {"a", "b"}},
        {"zero byte first", "\0a"s, {}},
        {"empty", "", {}},
        {"only a break", "\r\n", {""}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(readDocumentLines(row.bytes), row.lines) << row.name;
}

TEST(BrandDocumentLines, JoinWithCrLfAfterEachLine)
{
    EXPECT_EQ(joinDocumentLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinDocumentLines({}), "");
    EXPECT_EQ(joinDocumentLines(readDocumentLines("x\ry\nz")), "x\r\ny\r\nz\r\n");
}

} // namespace
} // namespace lintrel
