// Tests of reading the news server's content folder and of the answers it gives.
#include "content_folder.h"
#include "news_answers.h"
#include "news_content.h"
#include "util/news_text.h"

#include <gtest/gtest.h>

using namespace lintrel::newsd;
using lintrel::test::ContentFolder;

TEST(NewsItemFile, HeaderAndBody)
{
    struct Row
    {
        std::string text;
        bool ok;
        std::string title, published, body;
    };
    const Row rows[] = {
        {"Title: Hi\nPublished: 2026-01-02\n\n<p>x</p>\n", true, "Hi", "2026-01-02", "<p>x</p>\n"},
        {"\xEF\xBB\xBFtitle:  Hi \r\n\r\n\r\nbody", true, "Hi", "", "\r\nbody"},
        {"Title: a:b\n\n", true, "a:b", "", ""},
        // UTF-8 with byte 0xAF ("ï") goes out as Windows-1252.
        {"Title: Na\xC3\xAFve\n\nx", true, "Na\xEFve", "", "x"},
        {"Title: Hi\nbody without the empty line", false, "", "", ""},
        {"Published: 2026\n\nno title", false, "", "", ""},
        {"Title: a^b\n\nx", false, "", "", ""},
        {"Title: macron \xC2\xAF\n\nx", false, "", "", ""},
        {"Title: x\nAuthor: me\n\nx", false, "", "", ""},
        {"Title: tab\there\n\nx", false, "", "", ""},
    };
    for (const Row &row : rows) {
        std::string why;
        const auto item = parseNewsItem("17.html", row.text, why);
        ASSERT_EQ(item.has_value(), row.ok) << row.text;
        if (!row.ok) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(item->id, 17u);
        EXPECT_EQ(item->title, row.title);
        EXPECT_EQ(item->published, row.published);
        EXPECT_EQ(item->body, row.body);
    }
}

TEST(NewsContentFolder, ItemsNewestFirstWithWarningsForWhatIsSkipped)
{
    ContentFolder folder;
    folder.write("publishers.ini", "[gold]\nPublisherIds = g1, g2 ,\nBrandCodes=DEMO\n"
                                   "[Platinum]\nBrandCodes=X\n");
    folder.item(9, "nine", "d9", "b9");
    folder.item(10, "ten", "d10", "b10");
    folder.item(2, "two", "d2", "b2");
    folder.write("news/009.html", "Title: dup\n\nx");
    folder.write("news/notes.txt", "x");
    folder.write("news/3.html", "broken");
    folder.write("news/.hidden", "x");
    folder.item(2147483648, "too big", "", "b");

    const NewsContent c = loadNewsContent(folder.path());
    ASSERT_EQ(c.items.size(), 4u);
    EXPECT_EQ(c.items[0].id, 2147483648u);
    EXPECT_EQ(c.items[1].id, 10u);
    EXPECT_EQ(c.items[2].id, 9u);
    EXPECT_EQ(c.items[3].id, 2u);
    ASSERT_EQ(c.levels.size(), 1u);
    EXPECT_EQ(c.levels[0].prodType, "BG");
    EXPECT_EQ(c.levels[0].publisherIds, (std::vector<std::string>{"g1", "g2"}));
    EXPECT_FALSE(c.publishersMissing);
    EXPECT_FALSE(c.descriptor);
    std::string all;
    for (const auto &w : c.warnings)
        all += w + "\n";
    EXPECT_EQ(c.warnings.size(), 4u) << all;
    EXPECT_NE(all.find("notes.txt"), std::string::npos);
    EXPECT_NE(all.find("3.html"), std::string::npos);
    EXPECT_NE(all.find("id 9"), std::string::npos);
    EXPECT_NE(all.find("2147483648.html: the program compares"), std::string::npos);
}

TEST(NewsAnswers, ShapesAndErrorCodes)
{
    NewsContent c;
    c.levels = {{"Gold", "BG", {"g1"}, {"DEMO"}}, {"Master", "BM", {"m1", "g1"}, {"MAST"}}};
    c.items = {{5, "Five", "d5", "<b>5</b>"}, {3, "Three", "", ""}};
    const auto ask = [&c](NewsScript s, std::string user, std::string code, std::string type,
                          std::string cont, std::string id = {}) {
        return answerNewsRequest(NewsIndex(c), s, {user, code, type, cont, id, "UA"}).body;
    };
    const auto L = NewsScript::LastNews, D = NewsScript::NewsDetails;
    EXPECT_EQ(ask(L, "g1", "DEMO", "BG", "all"), "5^Five^d5\xAF"
                                                 "3^Three^\xAFOK");
    EXPECT_EQ(ask(L, "g1", "MAST", "BM", "lastcode"), "5^Five^d5\xAFOK");
    EXPECT_EQ(ask(D, "g1", "DEMO", "BG", "", "5"), "$3Cb$3E5$3C$2Fb$3E\xAFOK");
    EXPECT_EQ(ask(D, "g1", "DEMO", "BG", "", "3"), "\xAFOK");
    EXPECT_EQ(ask(L, "nobody", "DEMO", "BG", "all"), "INVALIDUSER");
    EXPECT_EQ(ask(L, "", "", "", "all"), "INVALIDUSER");
    EXPECT_EQ(ask(L, "g1", "demo", "BG", "all"), "INVALIDPRODUCT");
    EXPECT_EQ(ask(L, "m1", "DEMO", "BG", "all"), "INVALIDPRODUCT");
    EXPECT_EQ(ask(L, "g1", "DEMO", "BP", "lastcode"), "INVALIDPRODUCT");
    for (const char *id : {"4", "", "x", "5x", "-5", "99999999999999999999999"})
        EXPECT_EQ(ask(D, "g1", "DEMO", "BG", "", id), "INVALIDNEWS") << id;
    EXPECT_EQ(answerNewsRequest(NewsIndex(c), L, {"g1", "DEMO", "BG", "else", "", ""}).status, 400);

    c.items.clear();
    EXPECT_EQ(ask(L, "g1", "DEMO", "BG", "all"), "OK");
    EXPECT_EQ(ask(L, "g1", "DEMO", "BG", "lastcode"), "OK");
    c.publishersMissing = true;
    EXPECT_EQ(ask(L, "g1", "DEMO", "BG", "all"), "CONNECTIONFAIL");
}

TEST(NewsAnswers, EveryByteSurvivesTheEscape)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    all += "$24 \xAFOK OK ^";
    const std::string escaped = escapeNewsBody(all);
    for (const char c : escaped)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '$') << int(c);
    EXPECT_EQ(lintrel::UnescapeNewsText(escaped), all);
}
