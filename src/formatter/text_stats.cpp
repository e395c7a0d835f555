// Temporary scalar statistics.
#include "formatter/text_stats.h"

namespace lintrel {

template <class C> static TextStats scan(std::basic_string_view<C> t)
{
    TextStats s;
    bool w = false, se = false, p = false;
    int64_t len = 0;
    bool lineOpen = false;
    for (size_t i = 0; i < t.size(); ++i) {
        auto c = static_cast<uint32_t>(t[i]);
        bool sep = c == 10 || c == 13 || c == 32 || c == 33 || c == 44 || c == 46 || c == 59 || c == 63;
        bool send = c == 10 || c == 13 || c == 33 || c == 46 || c == 63;
        bool lend = c == 10 || c == 13;
        if (sep) {
            if (w) { ++s.words; w = false; }
            if (se && send) { ++s.sentences; se = false; }
            if (p && lend) { ++s.paragraphs; p = false; }
        } else if (!w) { w = se = p = true; }
        if (lend) {
            if (c == 13 && i + 1 < t.size() && t[i + 1] == 10) continue;
            ++s.lines; lineOpen = false;
            if (len > s.longestLine) s.longestLine = len;
            len = 0;
        } else {
            lineOpen = true;
            bool cont = sizeof(C) == 1 ? (c & 0xC0) == 0x80 : (c >= 0xDC00 && c <= 0xDFFF);
            if (!cont) { ++len; ++s.characters; }
        }
    }
    if (w) ++s.words;
    if (se) ++s.sentences;
    if (p) ++s.paragraphs;
    if (lineOpen) { ++s.lines; if (len > s.longestLine) s.longestLine = len; }
    return s;
}

TextStats computeTextStats(std::string_view utf8) { return scan(utf8); }
TextStats computeTextStats(std::u16string_view utf16) { return scan(utf16); }

} // namespace lintrel
