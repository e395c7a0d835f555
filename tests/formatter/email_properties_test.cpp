// Properties of email-aware Format and Reflow over generated emails: lines fit, quotes keep
// their depth and text, links stay whole, signature and code stay as they were, a second run
// changes nothing, and flowed output reads back as the same paragraphs.
#include "email_samples.h"
#include "formatter/email_wrap.h"
#include "formatter/flowed.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace lintrel {
namespace {

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

bool white(char c)
{
    return c == ' ' || c == '\t';
}

std::string trimEnd(std::string_view s)
{
    while (!s.empty() && white(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

int64_t codePoints(std::string_view s)
{
    int64_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// The quote prefix as a reader sees it: ">" characters, each optionally followed by a space.
size_t prefixLength(std::string_view line, int &depth)
{
    size_t i = 0;
    depth = 0;
    while (i < line.size() && line[i] == '>') {
        ++depth;
        ++i;
        if (i < line.size() && line[i] == ' ')
            ++i;
    }
    return i;
}

std::vector<std::string> tokens(std::string_view s)
{
    std::vector<std::string> out;
    std::string current;
    for (char c : std::string(s) + " ") {
        if (!white(c)) {
            current += c;
        } else if (!current.empty()) {
            out.push_back(current);
            current.clear();
        }
    }
    return out;
}

bool isLink(const std::string &token)
{
    return token.find("://") != std::string::npos || token.find("www.") != std::string::npos ||
           token.find("mailto:") != std::string::npos ||
           (token.find('@') != std::string::npos &&
            token.find('.', token.find('@')) != std::string::npos);
}

struct Split
{
    std::vector<std::string> body, signature;
};

Split splitSignature(std::string_view text)
{
    Split split;
    bool inSignature = false;
    for (auto &line : splitLines(text)) {
        inSignature = inSignature || line == "-- ";
        (inSignature ? split.signature : split.body).push_back(line);
    }
    return split;
}

bool preformatted(std::string_view line)
{
    int depth = 0;
    const std::string_view text = line.substr(prefixLength(line, depth));
    return text.starts_with('\t') || text.starts_with("    ");
}

// Every property that does not depend on which breaks the wrapper made.
void checkOutput(const std::string &in, const std::string &out, int64_t max)
{
    const Split before = splitSignature(in), after = splitSignature(out);
    EXPECT_EQ(after.signature, before.signature);
    std::map<int, std::string> textBefore, textAfter; // non-white characters per depth
    std::set<std::string> code, linksAfter;
    std::vector<std::string> codeBefore, codeAfter;
    for (const auto &line : before.body) {
        int depth = 0;
        for (char c : line.substr(prefixLength(line, depth)))
            textBefore[depth] += white(c) ? "" : std::string(1, c);
        if (preformatted(line))
            codeBefore.push_back(line), code.insert(line);
    }
    for (const auto &line : after.body) {
        int depth = 0;
        const size_t prefix = prefixLength(line, depth);
        for (char c : line.substr(prefix))
            textAfter[depth] += white(c) ? "" : std::string(1, c);
        const auto lineTokens = tokens(line.substr(prefix));
        linksAfter.insert(lineTokens.begin(), lineTokens.end());
        if (code.count(line)) {
            codeAfter.push_back(line);
            continue;
        }
        const bool oneToken =
            lineTokens.size() == 1 || (lineTokens.size() == 2 && lineTokens[0].size() <= 4);
        if (codePoints(trimEnd(line)) > max) {
            EXPECT_TRUE(oneToken && isLink(lineTokens.back())) << "too long: " << line;
        }
    }
    EXPECT_EQ(textAfter, textBefore);
    EXPECT_EQ(codeAfter, codeBefore);
    for (const auto &line : before.body) {
        int depth = 0;
        for (const auto &token : tokens(line.substr(prefixLength(line, depth)))) {
            if (isLink(token)) {
                EXPECT_TRUE(linksAfter.count(token)) << "link cut: " << token;
            }
        }
    }
}

// A break the wrapper made is soft in the flowed output; where the plain line then ends in a
// word, the wrapper cut inside it, which it may only do to a word longer than the room.
void checkCutsInsideWords(const std::string &plain, const std::string &flowed, int64_t max)
{
    const auto lines = splitLines(plain), flowedLines = splitLines(flowed);
    ASSERT_EQ(lines.size(), flowedLines.size());
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const bool soft = flowedLines[i].ends_with(' ') && flowedLines[i] != "-- ";
        if (!soft || lines[i].empty() || white(lines[i].back()))
            continue;
        int depth = 0;
        const std::string &next = lines[i + 1];
        const size_t prefix = prefixLength(next, depth);
        const size_t indent = next.find_first_not_of(' ', prefix) - prefix;
        const std::string word = tokens(lines[i]).back() + tokens(next.substr(prefix)).front();
        EXPECT_GT(codePoints(word), max - int64_t(prefix + indent)) << "cut inside " << word;
    }
}

// The paragraphs of a plain text as an RFC 3676 reader would show them: quote marks as
// ">" x depth and one space, no trailing white space on a line that ends a paragraph.
std::string paragraphsOf(const std::string &text)
{
    std::string out;
    bool inSignature = false;
    const auto lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        out += i ? "\n" : "";
        inSignature = inSignature || line == "-- ";
        int depth = 0;
        const size_t prefix = inSignature ? 0 : prefixLength(line, depth);
        const std::string rest = line == "-- " ? line : trimEnd(line.substr(prefix));
        out += std::string(size_t(depth), '>') + (depth > 0 && !rest.empty() ? " " : "") + rest;
    }
    return out;
}

// RFC 3676 reading, section by section: quote depth (4.5), space-stuffing (4.4), flowed and
// fixed lines with the signature separator fixed (4.1, 4.3); a flowed line before a change
// of depth ends its paragraph (4.5). DelSp=No: the trailing space stays.
std::string readFlowedByTheRfc(const std::string &text)
{
    std::vector<std::pair<int, std::string>> paragraphs;
    bool open = false;
    for (std::string line : splitLines(text)) {
        int depth = 0;
        while (size_t(depth) < line.size() && line[size_t(depth)] == '>')
            ++depth;
        line.erase(0, size_t(depth));
        if (!line.empty() && line[0] == ' ')
            line.erase(0, 1);
        const bool flowed = !line.empty() && line.back() == ' ' && line != "-- ";
        if (open && paragraphs.back().first == depth)
            paragraphs.back().second += line;
        else
            paragraphs.emplace_back(depth, line);
        open = flowed;
    }
    std::string out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        const auto &[depth, body] = paragraphs[i];
        out += (i ? "\n" : "") + std::string(size_t(depth), '>') +
               (depth > 0 && !body.empty() ? " " : "") + body;
    }
    return out;
}

EmailWrapOptions options(int64_t max, bool flowed = false)
{
    return {max, nullptr, flowed, "\n"};
}

constexpr int64_t kWidths[] = {20, 33, 47, 60, 72};

TEST(EmailProperties, Format)
{
    for (uint64_t seed = 1; seed <= 150; ++seed) {
        test::EmailSampler sampler(seed, seed % 2 == 0);
        const std::string in = sampler.email();
        const int64_t max = kWidths[seed % std::size(kWidths)];
        const std::string out = emailFormat(in, options(max));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", M " + std::to_string(max) + "\n" + in);
        checkOutput(in, out, max);
        checkCutsInsideWords(out, emailFormat(in, options(max, true)), max);
        EXPECT_EQ(emailFormat(out, options(max)), out) << "not idempotent";
        if (testing::Test::HasFailure())
            return;
    }
}

TEST(EmailProperties, Reflow)
{
    for (uint64_t seed = 1; seed <= 150; ++seed) {
        const bool longWords = seed % 2 == 0;
        test::EmailSampler sampler(seed, longWords);
        const std::string in = sampler.email();
        const int64_t max = kWidths[seed % std::size(kWidths)];
        const std::string out = emailReflow(in, options(max));
        const std::string flowed = emailReflow(in, options(max, true));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", M " + std::to_string(max) + "\n" + in);
        checkOutput(in, out, max);
        checkCutsInsideWords(out, flowed, max);
        const std::string twice = emailReflow(out, options(max));
        // A word cut inside reads as two words the second time: stable from then on.
        EXPECT_EQ(longWords ? emailReflow(twice, options(max)) : twice, twice) << "not idempotent";
        const std::string paragraphs = paragraphsOf(emailReflow(out, options(int64_t(1) << 40)));
        EXPECT_EQ(unflowText(flowed, "\n"), paragraphs);
        EXPECT_EQ(readFlowedByTheRfc(flowed), paragraphs);
        if (testing::Test::HasFailure())
            return;
    }
}

} // namespace
} // namespace lintrel
