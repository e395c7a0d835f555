// Tests of the benchmark corpus generators: exact size, encoding, shape and determinism.
#include "corpus.h"
#include "formatter/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace lintrel {
namespace {

std::vector<size_t> lineLengths(const std::string &text)
{
    std::vector<size_t> lengths;
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2)
        lengths.push_back(pos - start);
    return lengths;
}

TEST(Corpus, HasTheRequestedSizeAndEncoding)
{
    for (const bool utf8 : {false, true}) {
        for (const size_t bytes : {size_t(0), size_t(1), size_t(1000), size_t(777777)}) {
            SCOPED_TRACE(testing::Message() << utf8 << " " << bytes);
            const std::string text = makeEmailCorpus(bytes, utf8);
            EXPECT_EQ(text.size(), bytes);
            EXPECT_TRUE(isValidUtf8(text));
            const bool ascii = std::all_of(text.begin(), text.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            });
            EXPECT_EQ(ascii, !utf8 || bytes < 1000);
        }
    }
}

TEST(Corpus, LooksLikeEmailAndIsDeterministic)
{
    const std::string text = makeEmailCorpus(4 << 20, false, 9);
    EXPECT_EQ(text, makeEmailCorpus(4 << 20, false, 9));
    EXPECT_NE(text, makeEmailCorpus(4 << 20, false, 10));
    // Only CR LF breaks.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
    const std::vector<size_t> lengths = lineLengths(text);
    const auto count = [&](auto pred) {
        return std::count_if(lengths.begin(), lengths.end(), pred);
    };
    const auto nonEmpty = count([](size_t n) { return n > 0; });
    EXPECT_GT(count([](size_t n) { return n == 0; }), 100); // blank lines between paragraphs
    EXPECT_GT(count([](size_t n) { return n > 5000; }), 0);
    EXPECT_GT(count([](size_t n) { return n >= 20 && n <= 200; }) * 10, nonEmpty * 8);
    for (const char c : {'.', '!', '?', ',', ';', ':'})
        EXPECT_NE(text.find(c), std::string::npos) << c;
}

TEST(Corpus, ThreadCorpusHasRepliesListsCodeAndOneSignature)
{
    for (const bool utf8 : {false, true}) {
        const std::string text = makeEmailThreadCorpus(1 << 20, utf8, 3);
        EXPECT_EQ(text.size(), size_t(1) << 20);
        EXPECT_TRUE(isValidUtf8(text));
        EXPECT_EQ(text, makeEmailThreadCorpus(1 << 20, utf8, 3));
        for (const char *piece : {"\r\n> ", "\r\n>> ", "\r\n> > ", "\r\n- ", "\r\n12) ", "\r\n    ",
                                  "\r\n\t", "<https://", "mailto:", "@example.co.uk"})
            EXPECT_NE(text.find(piece), std::string::npos) << piece;
        const size_t signature = text.find("\r\n-- \r\n");
        EXPECT_NE(signature, std::string::npos);
        EXPECT_EQ(text.find("\r\n-- \r\n", signature + 1), std::string::npos);
        EXPECT_GT(signature, text.size() - 200);
    }
}

} // namespace
} // namespace lintrel
