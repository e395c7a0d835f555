// ExtractTagValue and SplitFields.
#include "util/fields.h"

#include <gtest/gtest.h>

namespace lintrel {
namespace {

struct ExtractRow
{
    const char *name;
    std::string work;
    std::string value;
    std::string workAfter;
};

TEST(ExtractTagValue, CutsTheValueAndKeepsTheClosingTagAtTheHead)
{
    const std::string open = "<%%Name%%>", close = "<%%/Name%%>";
    const ExtractRow rows[] = {
        {"plain", "x<%%Name%%>v<%%/Name%%>y", "v", "<%%/Name%%>y"},
        {"case folded", "<%%NAME%%>v<%%/name%%>", "v", "<%%/name%%>"},
        {"line breaks kept, no trim", "<%%Name%%> a\r\nb <%%/Name%%>", " a\r\nb ", "<%%/Name%%>"},
        {"first occurrence", "<%%Name%%>1<%%/Name%%><%%Name%%>2<%%/Name%%>", "1",
         "<%%/Name%%><%%Name%%>2<%%/Name%%>"},
        {"no opening tag leaves work alone", "v<%%/Name%%>", "", "v<%%/Name%%>"},
        {"no closing tag consumes the opening tag", "a<%%Name%%>v", "", "v"},
        {"closing tag before opening is not used", "<%%/Name%%><%%Name%%>v", "", "v"},
        {"empty value", "<%%Name%%><%%/Name%%>", "", "<%%/Name%%>"},
        {"non-letters compare exactly", "<%%Name%%>\xe9<%%/Name%%>", "\xe9", "<%%/Name%%>"},
    };
    for (const ExtractRow &row : rows) {
        std::string work = row.work;
        EXPECT_EQ(ExtractTagValue(open, close, work), row.value) << row.name;
        EXPECT_EQ(work, row.workAfter) << row.name;
    }
}

TEST(ExtractTagValue, FoldsOnlyAsciiLetters)
{
    // 0xC9 and 0xE9 are the Windows-1252 É and é: they must not be treated as one letter.
    std::string work = "<%%T\xc9%%>v<%%/T\xc9%%>";
    EXPECT_EQ(ExtractTagValue("<%%t\xe9%%>", "<%%/t\xe9%%>", work), "");
    work = "<%%T\xc9%%>v<%%/T\xc9%%>";
    EXPECT_EQ(ExtractTagValue("<%%t\xc9%%>", "<%%/t\xc9%%>", work), "v");
}

TEST(SplitFields, DropsOnlyATrailingEmptyField)
{
    struct Row
    {
        std::string text;
        std::vector<std::string> fields;
    };
    const Row rows[] = {
        {"a^^b", {"a", "", "b"}},   {"^a", {"", "a"}}, {"a^", {"a"}}, {"a", {"a"}},
        {"a^b^", {"a", "b"}},       {"^", {""}},       {"", {}},      {"^^", {"", ""}},
        {"a^b^c", {"a", "b", "c"}},
    };
    std::vector<std::string> list = {"left over"};
    for (const Row &row : rows) {
        SplitFields('^', row.text, list);
        EXPECT_EQ(list, row.fields) << row.text;
    }
}

TEST(SplitFields, SplitsAtAnyByte)
{
    std::vector<std::string> list;
    SplitFields('\xaf',
                "12^News^2024\xaf"
                "13^More^2025",
                list);
    EXPECT_EQ(list, (std::vector<std::string>{"12^News^2024", "13^More^2025"}));
}

} // namespace
} // namespace lintrel

TEST(ParseInt32, AcceptsOnlyWholeSigned32BitNumbers)
{
    const struct
    {
        const char *text;
        std::optional<int32_t> value;
    } rows[] = {
        {"60", 60},
        {"-5", -5},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"2147483648", std::nullopt},
        {"12a", std::nullopt},
        {" 1", std::nullopt},
        {"+1", std::nullopt},
    };
    for (const auto &r : rows)
        EXPECT_EQ(lintrel::parseInt32(r.text), r.value) << '"' << r.text << '"';
}

TEST(WholeNumberKey, DigitsAnywhereAndOneMinusOnlyAtTheStart)
{
    const struct
    {
        const char *text;
        std::size_t from, to;
        char32_t typed;
        bool accepted;
    } rows[] = {
        {"", 0, 0, U'-', true},
        {"", 0, 0, U'7', true},
        {"1", 1, 1, U'-', false}, // "1-2" keeps its minus out
        {"12", 0, 0, U'-', true},
        {"12", 1, 1, U'-', false},
        {"-1", 0, 0, U'-', false},
        {"-1", 1, 1, U'-', false},
        {"-1", 0, 0, U'5', false}, // a digit before the sign
        {"-1", 1, 1, U'5', true},
        {"-1", 0, 1, U'5', true}, // the sign selected and typed over
        {"60", 0, 2, U'-', true}, // the whole text selected
        {"-60", 0, 3, U'-', true},
        {"160", 0, 1, U'-', true}, // the selection starts the text
        {"160", 1, 2, U'-', false},
        {"12", 9, 9, U'3', true}, // positions past the end stand for the end
        {"12", 2, 0, U'3', true},
        {"", 0, 0, U'a', false},
        {"", 0, 0, U'+', false},
        {"", 0, 0, U' ', false},
        {"", 0, 0, U'\u0663', false}, // a digit of another script
    };
    for (const auto &r : rows)
        EXPECT_EQ(lintrel::wholeNumberKeyAccepted(r.text, r.from, r.to, r.typed), r.accepted)
            << '"' << r.text << "\" [" << r.from << ", " << r.to << ") "
            << static_cast<uint32_t>(r.typed);
}
