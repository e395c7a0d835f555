// The email-like benchmark corpora: a small random text model with its own portable generator.
#include "corpus.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lintrel {

namespace {

// splitmix64: portable and deterministic, unlike the distributions of <random>.
class Rng
{
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    size_t below(size_t n) { return size_t(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

constexpr std::string_view kConsonants = "bcdfghjklmnprstvwyz";
constexpr std::string_view kVowels = "aeiou";
constexpr std::array<std::string_view, 10> kAccented = {
    "\xC3\xA9", "\xC3\xA8", "\xC3\xBC", "\xC3\xB6", "\xC3\xB1",
    "\xC3\xA7", "\xC3\xB8", "\xC3\xA5", "\xC3\xA0", "\xC3\xAF"};
constexpr std::array<std::string_view, 6> kEmoji = {"\xF0\x9F\x98\x80", "\xF0\x9F\x91\x8D",
                                                    "\xF0\x9F\x8E\x89", "\xE2\x9C\x93",
                                                    "\xE2\x82\xAC",     "\xE2\x80\x94"};

// Word lengths weighted like English prose: mostly 2-7 letters, a tail up to 14.
constexpr std::array<int, 20> kWordLengths = {1, 2, 2, 3, 3, 3, 4, 4, 4,  5,
                                              5, 5, 6, 6, 7, 7, 8, 9, 11, 14};

void appendWord(std::string &out, Rng &rng, bool utf8, bool capital)
{
    if (rng.chance(3)) { // a number such as 42 or 3.14
        out += std::to_string(rng.below(1000));
        if (rng.chance(40))
            out += "." + std::to_string(rng.below(100));
        return;
    }
    const int length = kWordLengths[rng.below(kWordLengths.size())];
    for (int i = 0; i < length; ++i) {
        if (utf8 && rng.chance(4)) {
            out += kAccented[rng.below(kAccented.size())];
            continue;
        }
        char c = (i % 2 == 0) ? kConsonants[rng.below(kConsonants.size())]
                              : kVowels[rng.below(kVowels.size())];
        if (i == 0 && capital)
            c = char(c - 'a' + 'A');
        out += c;
    }
}

void appendSentence(std::string &out, Rng &rng, bool utf8)
{
    const size_t words = 3 + rng.below(18);
    for (size_t w = 0; w < words; ++w) {
        appendWord(out, rng, utf8, w == 0);
        if (w + 1 == words)
            break;
        if (rng.chance(8))
            out += rng.chance(70) ? "," : rng.chance(50) ? ";" : ":";
        out += ' ';
        if (utf8 && rng.chance(2))
            out += std::string(kEmoji[rng.below(kEmoji.size())]) + " ";
    }
    const size_t end = rng.below(10);
    out += end < 7 ? "." : end < 9 ? "?" : "!";
}

// One line of roughly `target` bytes made of whole sentences.
void appendLine(std::string &out, Rng &rng, bool utf8, size_t target)
{
    const size_t start = out.size();
    for (;;) {
        appendSentence(out, rng, utf8);
        if (out.size() - start >= target)
            break;
        out += ' ';
    }
    out += "\r\n";
}

size_t lineTarget(Rng &rng)
{
    if (rng.chance(1) && rng.chance(30))
        return 5000 + rng.below(3000); // a pasted block without breaks
    return 20 + rng.below(rng.chance(70) ? 60 : 160);
}

constexpr std::array<std::string_view, 6> kLinks = {
    "https://example.com/reports/2024/q3/summary.html",
    "<https://lists.example.org/pipermail/dev/2024-May/001234.html>",
    "www.example.net/downloads",
    "mailto:support@example.com",
    "ann.lee@example.co.uk",
    "<bob.smith@mail.example.org>"};
constexpr std::array<std::string_view, 4> kQuotePrefixes = {"> ", ">> ", "> > ", ">"};
constexpr std::array<std::string_view, 6> kListMarkers = {"- ",  "* ",  "+ ", "\xE2\x80\xA2 ",
                                                          "1. ", "12) "};

// A sentence with a link or an address in it now and then.
void appendThreadSentence(std::string &out, Rng &rng, bool utf8)
{
    appendSentence(out, rng, utf8);
    if (rng.chance(15)) {
        out += " See ";
        out += kLinks[rng.below(kLinks.size())];
        out += '.';
    }
}

// Sentences as one line of about `target` bytes, or hard-wrapped near `wrapAt` with `prefix`.
void appendBlockLines(std::string &out, Rng &rng, bool utf8, std::string_view prefix, size_t target,
                      size_t wrapAt)
{
    out += prefix;
    size_t lineStart = out.size() - prefix.size(), blockStart = out.size();
    while (out.size() - blockStart < target) {
        appendThreadSentence(out, rng, utf8);
        if (out.size() - lineStart > wrapAt) {
            out += "\r\n";
            lineStart = out.size();
            out += prefix;
        } else {
            out += ' ';
        }
    }
    out += "\r\n";
}

void appendThreadBlock(std::string &out, Rng &rng, bool utf8)
{
    const size_t kind = rng.below(10);
    if (kind < 4) { // the writer's own paragraph, unwrapped
        appendBlockLines(out, rng, utf8, "", lineTarget(rng), size_t(-1));
    } else if (kind < 7) { // a quoted paragraph from earlier in the thread
        out += "On Monday, Ann wrote:\r\n";
        appendBlockLines(out, rng, utf8, kQuotePrefixes[rng.below(kQuotePrefixes.size())],
                         100 + rng.below(600), 60 + rng.below(12));
    } else if (kind < 9) { // a list
        for (size_t i = 0, n = 2 + rng.below(4); i < n; ++i) {
            out += kListMarkers[rng.below(kListMarkers.size())];
            appendBlockLines(out, rng, utf8, "", 20 + rng.below(150), size_t(-1));
        }
    } else { // code
        for (size_t i = 0, n = 1 + rng.below(4); i < n; ++i)
            out += rng.chance(50) ? "    total = compute(rows, 1.035) + offset;  // keep as is\r\n"
                                  : "\tfor (int i = 0; i < n; ++i) sum += values[i];\r\n";
    }
}

} // namespace

std::string makeEmailThreadCorpus(size_t bytes, bool utf8Variant, uint64_t seed)
{
    static constexpr std::string_view signature =
        "-- \r\nAnn Lee | Example Corp. | https://example.com/people/ann-lee\r\n";
    Rng rng(seed);
    std::string out;
    out.reserve(bytes + 16384);
    out += "Hi Bob,\r\n\r\n";
    while (out.size() + signature.size() < bytes) {
        appendThreadBlock(out, rng, utf8Variant);
        out += "\r\n";
    }
    const size_t tail = signature.size() + 2;
    size_t cut = bytes > tail ? bytes - tail : 0;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
        --cut;
    out.resize(cut);
    out += "\r\n";
    out += signature;
    out.resize(std::min(out.size(), bytes));
    out.append(bytes - out.size(), ' ');
    return out;
}

std::string makeEmailCorpus(size_t bytes, bool utf8Variant, uint64_t seed)
{
    Rng rng(seed);
    std::string out;
    out.reserve(bytes + 16384);
    while (out.size() < bytes) {
        const size_t lines = 1 + rng.below(6);
        for (size_t i = 0; i < lines; ++i)
            appendLine(out, rng, utf8Variant, lineTarget(rng));
        out += "\r\n";
    }
    // Cut to size on a character boundary and pad with spaces.
    size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
        --cut;
    out.resize(cut);
    out.append(bytes - cut, ' ');
    return out;
}

} // namespace lintrel
