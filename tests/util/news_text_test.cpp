// Tests of UnescapeNewsText: valid escapes decode, anything else stays as it is.
#include "util/news_text.h"

#include <gtest/gtest.h>

using lintrel::UnescapeNewsText;

TEST(UnescapeNewsText, DecodesValidEscapesAndKeepsBadOnesLiterally)
{
    struct Row
    {
        const char *name;
        std::string in, out;
    };
    const Row rows[] = {
        {"plain text", "<p>Hello</p>", "<p>Hello</p>"},
        {"empty", "", ""},
        {"less-than", "$3Cb$3E", "<b>"},
        {"two in a row", "$41$42", "AB"},
        {"lower-case digits", "$3c$2f", "</"},
        {"escaped dollar", "costs $2410", "costs $10"},
        {"byte AF then OK", "$AFOK", "\xAFOK"},
        {"high and zero bytes", "$FF$00$80", std::string("\xFF\0\x80", 3)},
        // A bad escape stays as written and costs nothing else.
        {"bare dollar at the end", "tail$", "tail$"},
        {"one digit at the end", "tail$4", "tail$4"},
        {"two dollars", "$$41", "$A"},
        {"non-hex digit", "a$4Gb$41", "a$4GbA"},
        {"dollar then space", "5 $ each $3C", "5 $ each <"},
        {"only a dollar", "$", "$"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(UnescapeNewsText(row.in), row.out) << row.name;
}
