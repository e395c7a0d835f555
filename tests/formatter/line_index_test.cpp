// Tests of the line-by-line statistics: counts of lines, replacements against a full recount.
#include "formatter/line_index.h"
#include "formatter/text_samples.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace lintrel {
namespace {

std::vector<LineCounts> countsOf(std::u16string_view text)
{
    std::vector<LineCounts> out;
    appendLineCounts(out, text, u'\n');
    return out;
}

// A random line: letters, separators, multi-unit characters, no line break.
std::u16string randomLine(std::mt19937_64 &rng)
{
    std::u16string line = test::toUtf16(test::randomText(rng, rng() % 90, 1 << 20));
    std::erase_if(line, [](char16_t u) { return u == u'\r' || u == u'\n'; });
    return line;
}

std::u16string join(const std::vector<std::u16string> &lines)
{
    std::u16string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? u"\n" : u"") + lines[i];
    return text;
}

TEST(LineIndex, TextsLoadedWholeCountAsTheirRecount)
{
    const char *texts[] = {
        "",
        "Hello world.",
        "one two\n",
        "one two\n\n",
        "  \n...\n",
        "Line one\nline two\nline three\n\nNext block\nends here",
        "Dear John,\n\nThanks for the note. See you soon!\n\nBest regards\nAnn\n",
        "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\n\xC3\xA9 caf\xC3\xA9.",
        "\n\n\n",
    };
    for (const char *utf8 : texts) {
        SCOPED_TRACE(utf8);
        const std::u16string text = test::toUtf16(utf8);
        LineIndex index;
        index.replace(0, 1, countsOf(text));
        EXPECT_EQ(index.stats(), computeTextStats(text));
    }
    EXPECT_EQ(LineIndex().stats(), TextStats{});
    EXPECT_EQ(countLine(u"Wait... what?! ok"), (LineCounts{3, 3, 17, 17}));
    EXPECT_EQ(countLine(u""), LineCounts{});
}

// Random replacements, small and large (across many chunks), at the start, middle and end,
// checked after each one against counting the whole text again.
TEST(LineIndex, ReplacementsMatchAFullRecount)
{
    std::mt19937_64 rng(11);
    std::vector<std::u16string> lines = {u""};
    LineIndex index;
    for (int step = 0; step < 400; ++step) {
        const bool big = step % 40 == 0;
        const size_t first = rng() % (lines.size() + 1);
        const size_t removed = std::min<size_t>(lines.size() - first, rng() % (big ? 5000 : 4));
        std::vector<std::u16string> added(rng() % (big ? 6000 : 4));
        if (lines.size() - removed + added.size() == 0)
            added.emplace_back();
        std::vector<LineCounts> counts;
        for (auto &line : added) {
            line = randomLine(rng);
            counts.push_back(countLine(line));
        }
        index.replace(first, removed, counts);
        lines.erase(lines.begin() + std::ptrdiff_t(first),
                    lines.begin() + std::ptrdiff_t(first + removed));
        lines.insert(lines.begin() + std::ptrdiff_t(first), added.begin(), added.end());

        SCOPED_TRACE(testing::Message() << "step " << step << ", " << lines.size() << " lines");
        ASSERT_EQ(index.size(), lines.size());
        ASSERT_EQ(index.stats(), computeTextStats(join(lines)));
        const size_t probe = rng() % lines.size();
        ASSERT_EQ(index.line(probe), countLine(lines[probe]));
    }
}

// Many replacements in one pass, as an edit of scattered lines makes them, against the
// same replacements applied to the lines one by one from the last to the first.
TEST(LineIndex, ManyReplacementsInOnePassMatchARecount)
{
    std::mt19937_64 rng(23);
    std::vector<std::u16string> lines(1 + rng() % 9000);
    for (auto &line : lines)
        line = randomLine(rng);
    LineIndex index;
    {
        std::vector<LineCounts> all;
        for (const auto &line : lines)
            all.push_back(countLine(line));
        index.replace(0, 1, all);
    }
    for (int round = 0; round < 30; ++round) {
        std::vector<LineReplacement> batch;
        std::vector<std::vector<std::u16string>> texts;
        for (size_t at = rng() % 50; at <= lines.size();
             at += 1 + rng() % (round % 3 ? 40 : 3000)) {
            LineReplacement r{at, std::min<size_t>(lines.size() - at, rng() % 3), {}};
            texts.emplace_back(rng() % 4);
            for (auto &line : texts.back()) {
                line = randomLine(rng);
                r.added.push_back(countLine(line));
            }
            at += r.removed;
            batch.push_back(std::move(r));
        }
        for (size_t k = batch.size(); k-- > 0;) {
            const auto from = lines.begin() + std::ptrdiff_t(batch[k].first);
            lines.erase(from, from + std::ptrdiff_t(batch[k].removed));
            lines.insert(lines.begin() + std::ptrdiff_t(batch[k].first), texts[k].begin(),
                         texts[k].end());
        }
        if (lines.empty()) {
            lines.emplace_back();
            batch.push_back({batch.back().first + batch.back().removed, 0, {LineCounts{}}});
        }
        index.replace(batch);
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << batch.size() << " edits");
        ASSERT_EQ(index.size(), lines.size());
        ASSERT_EQ(index.stats(), computeTextStats(join(lines)));
        const size_t probe = rng() % lines.size();
        ASSERT_EQ(index.line(probe), countLine(lines[probe]));
    }
}

TEST(LineIndex, RefusesRangesOutsideTheTextAndAnEmptyResult)
{
    LineIndex index;
    const std::vector<LineCounts> two(2);
    index.replace(0, 0, two);
    EXPECT_THROW(index.replace(4, 0, two), std::out_of_range);
    EXPECT_THROW(index.replace(1, 3, two), std::out_of_range);
    EXPECT_THROW(index.replace(0, 3, {}), std::out_of_range);
    EXPECT_THROW((void)index.line(3), std::out_of_range);
    const std::vector<LineReplacement> overlapping = {{0, 2, {}}, {1, 1, {}}};
    const std::vector<LineReplacement> outside = {{2, 2, {}}};
    const std::vector<LineReplacement> everything = {{0, 1, {}}, {1, 2, {}}};
    EXPECT_THROW(index.replace(overlapping), std::invalid_argument);
    EXPECT_THROW(index.replace(outside), std::invalid_argument);
    EXPECT_THROW(index.replace(everything), std::invalid_argument);
    EXPECT_EQ(index.size(), 3u);
}

} // namespace
} // namespace lintrel
