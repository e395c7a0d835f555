// Random real-looking emails for the email wrapper's property tests: replies quoting replies,
// links and addresses, lists, code blocks, non-ASCII words and a signature.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace lintrel::test {

class EmailSampler
{
public:
    // longWords: add words longer than any room the tests use (cut inside by the wrapper).
    EmailSampler(uint64_t seed, bool longWords) : rng_(seed), longWords_(longWords) {}

    std::string email()
    {
        std::string out = "Hi Ann,\n\n";
        const int blocks = 2 + pick(5);
        for (int b = 0; b < blocks; ++b) {
            switch (pick(6)) {
            case 0:
            case 1:
                paragraph(out, "");
                break;
            case 2:
                quoted(out);
                break;
            case 3:
                list(out);
                break;
            case 4:
                code(out);
                break;
            default:
                paragraph(out, "> ");
                break;
            }
            out += "\n";
        }
        if (pick(3) != 0)
            out += "-- \nAnn Lee | Example Corp. | https://example.com/people/ann-lee  \n"
                   ">> not a quote, just the motto <<\n";
        return out;
    }

private:
    int pick(int n) { return int(rng_() % uint64_t(n)); }

    std::string_view word()
    {
        static constexpr std::string_view words[] = {
            "the",     "a",          "draft", "figures", "again,",   "twice.",
            "report;", "Note:",      "e.g.",  "3.14",    "20:10:55", "status.example.org",
            "42",      "well-known", "café",  "naïve",   "Grüße",    "\xF0\x9F\x98\x80",
            "(see",    "below)",     "don't", "ok?",     "thanks!",  "and",
            "we",      "should",     "meet",  "on",      "Monday",   "about",
            "it"};
        static constexpr std::string_view links[] = {
            "https://example.com/path/to/page?id=42&lang=en",
            "<https://lists.example.org/archive/2024/message-1234.html>",
            "www.example.net/a",
            "mailto:team@example.com",
            "ann.lee@example.co.uk",
            "<bob@example.org>"};
        static constexpr std::string_view longWords[] = {"Donaudampfschifffahrtsgesellschaft",
                                                         "pneumonoultramicroscopic.silico"};
        const int p = pick(100);
        if (p < 6)
            return links[size_t(pick(int(std::size(links))))];
        if (longWords_ && p < 8)
            return longWords[size_t(pick(2))];
        return words[size_t(pick(int(std::size(words))))];
    }

    // Words on lines of random length (as a writer's own hard wrap left them).
    void words(std::string &out, std::string_view prefix, int count, int lineLength)
    {
        size_t lineStart = out.size();
        out += prefix;
        for (int w = 0; w < count; ++w) {
            if (w > 0) {
                if (int(out.size() - lineStart) > lineLength) {
                    out += "\n";
                    lineStart = out.size();
                    out += prefix;
                } else {
                    out += pick(10) == 0 ? "  " : " ";
                }
            }
            out += word();
        }
        out += "\n";
    }

    void paragraph(std::string &out, std::string_view prefix)
    {
        words(out, prefix, 3 + pick(40), 20 + pick(100));
    }

    void quoted(std::string &out)
    {
        static constexpr std::string_view prefixes[][2] = {
            {">", "> "}, {">> ", "> > "}, {">>> ", "> >> "}};
        const int depth = pick(3);
        out += "On Monday someone wrote:\n";
        for (int p = 0, n = 1 + pick(3); p < n; ++p)
            words(out, prefixes[depth][size_t(pick(2))], 3 + pick(30), 15 + pick(80));
    }

    void list(std::string &out)
    {
        static constexpr std::string_view markers[] = {"- ",  "* ", "+ ", "\xE2\x80\xA2 ",
                                                       "1. ", "2) "};
        for (int i = 0, n = 2 + pick(3); i < n; ++i) {
            out += markers[size_t(pick(int(std::size(markers))))];
            words(out, "", 2 + pick(25), 30 + pick(60));
        }
    }

    void code(std::string &out)
    {
        for (int i = 0, n = 1 + pick(3); i < n; ++i)
            out += pick(2) ? "    result = compute(alpha, beta, gamma); // keep this line as is\n"
                           : "\tfor (int i = 0; i < n; ++i) total += values[i];   \n";
    }

    std::mt19937_64 rng_;
    bool longWords_;
};

} // namespace lintrel::test
