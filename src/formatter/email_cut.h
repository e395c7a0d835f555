// Where the email wrapper cuts a line: the characters of a line and the choice of the cut.
#pragma once

#include "formatter/email_rules.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lintrel::detail {

// A line of ASCII text: every byte is one character of width 1.
struct AsciiChars
{
    std::string_view text;
    size_t size() const { return text.size(); }
    size_t offset(size_t i) const { return i; }
    int64_t widthBefore(size_t i) const { return int64_t(i); }
    CharClass classOf(size_t i) const { return classOfAscii(text[i]); }
    // The largest k <= size() with widthBefore(k) - widthBefore(start) <= room.
    size_t fitEnd(size_t start, int64_t room) const
    {
        return start + size_t(room) < text.size() ? start + size_t(room) : text.size();
    }
};

// A line taken character by character through a measure; the tables are reused between lines.
struct MeasuredChars
{
    std::string_view text;
    std::vector<size_t> offsets; // size() + 1 entries, the last one text.size()
    std::vector<int64_t> widths; // running widths, size() + 1 entries

    void measure(std::string_view line, const CharMeasure &measure);
    size_t size() const { return offsets.size() - 1; }
    size_t offset(size_t i) const { return offsets[i]; }
    int64_t widthBefore(size_t i) const { return widths[i]; }
    // A white-space character that carries more (a space with a combining mark) is kept like
    // a word character: white space may be dropped at a cut, its marks may not.
    CharClass classOf(size_t i) const
    {
        const CharClass c = classAt(text, offsets[i]);
        if (isWhite(c) && offsets[i + 1] - offsets[i] > firstCodePointBytes(offsets[i]))
            return CharClass::Word;
        return c;
    }
    size_t firstCodePointBytes(size_t pos) const
    {
        const auto lead = static_cast<unsigned char>(text[pos]);
        return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    }
    size_t fitEnd(size_t start, int64_t room) const;
};

// The cut of one piece: its visible head is characters [start, headEnd), the white space
// [headEnd, next) follows it, and the next piece starts at `next`.
struct Cut
{
    size_t headEnd;
    size_t next;
};

// What a cut must keep in mind besides the room; one per line, from its first piece on.
struct CutContext
{
    int64_t room;        // the width a piece may take, at least 1
    bool avoidStructure; // do not leave a piece that reads as a list item, quote or "-- "
    // The end of the last token found breakable: what is left of it after a cut inside it
    // is not looked at again, so a long word costs time in proportion to its length.
    size_t breakableEnd = 0;
};

// The cut of the piece that starts at `start` (a character index) in a line that does not
// fit from there: `visibleEnd` ends its last non-white character.
template <class Chars>
Cut findCut(const Chars &chars, size_t start, size_t visibleEnd, CutContext &context);

extern template Cut findCut(const AsciiChars &, size_t, size_t, CutContext &);
extern template Cut findCut(const MeasuredChars &, size_t, size_t, CutContext &);

} // namespace lintrel::detail
