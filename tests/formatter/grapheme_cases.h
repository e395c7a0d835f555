// Unicode's own cluster boundary cases (GraphemeBreakTest.txt of the unicode-data package).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lintrel::test {

inline const char *const kGraphemeBreakTest = "/usr/share/unicode/auxiliary/GraphemeBreakTest.txt";

// One line of the file: the test string split at its boundaries, each cluster as UTF-8.
struct GraphemeCase
{
    std::vector<std::string> clusters;
    std::vector<std::vector<char32_t>> codePoints; // the same, code point by code point
    std::string line;

    std::string text() const
    {
        std::string all;
        for (const std::string &c : clusters)
            all += c;
        return all;
    }
};

inline void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Every case of the file; fails the calling test when the file cannot be read.
inline std::vector<GraphemeCase> graphemeCases()
{
    std::vector<GraphemeCase> cases;
    std::ifstream in(kGraphemeBreakTest);
    EXPECT_TRUE(in) << "cannot read " << kGraphemeBreakTest << " (package unicode-data)";
    for (std::string line; std::getline(in, line);) {
        const std::string data = line.substr(0, line.find('#'));
        std::istringstream fields(data);
        GraphemeCase c;
        c.line = line;
        for (std::string field; fields >> field;) {
            if (field == "\xC3\xB7") { // ÷, a boundary
                c.clusters.emplace_back();
                c.codePoints.emplace_back();
            } else if (field != "\xC3\x97") { // not ×: a code point
                const auto cp = char32_t(std::stoul(field, nullptr, 16));
                appendUtf8(c.clusters.back(), cp);
                c.codePoints.back().push_back(cp);
            }
        }
        if (c.clusters.size() < 2)
            continue;          // a comment line
        c.clusters.pop_back(); // the boundary at the end opens nothing
        c.codePoints.pop_back();
        cases.push_back(std::move(c));
    }
    EXPECT_GT(cases.size(), 500u);
    return cases;
}

} // namespace lintrel::test
