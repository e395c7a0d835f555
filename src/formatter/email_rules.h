// The email rules for one line: quote prefix, list marker, preformatted, blank and signature
// lines, unbreakable tokens, character classes and the measure the rules count with.
#pragma once

#include "formatter/unicode_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintrel {

// How the email rules see the characters of a line: the unit a line is never cut inside and
// its width. Contract: an ASCII byte that is not followed by a byte >= 0x80 is one character
// of width 1 (the email wrapper takes such lines byte by byte without asking the measure).
class CharMeasure
{
public:
    virtual ~CharMeasure() = default;
    // The byte length (>= 1) of the character that starts at `pos` (< text.size()) in valid
    // UTF-8, and its width (>= 0) through `width`.
    virtual size_t next(std::string_view text, size_t pos, int &width) const = 0;
};

// The formatter's measures: extended grapheme clusters of width 1, or screen columns.
const CharMeasure &charMeasure(Measure measure);

// The width of a piece of text in the measure.
int64_t measureWidth(const CharMeasure &measure, std::string_view text);

// A character takes the class of its first code point.
enum class CharClass : uint8_t {
    Word,  // everything else, no-break spaces included
    Space, // " ": a cut may fall after it
    White, // other white space (TAB): a cut falls after it only after a full stop
    Stop,  // ".", ":", ";": a cut may fall after it when white space follows
};

// The class of a byte as the first byte of a character (every byte >= 0x80 is Word).
inline CharClass classOfAscii(char c)
{
    switch (c) {
    case ' ':
        return CharClass::Space;
    case '\t':
        return CharClass::White;
    case '.':
    case ':':
    case ';':
        return CharClass::Stop;
    default:
        return CharClass::Word;
    }
}
// The class of the character whose first code point starts at `pos`: other scripts' spaces
// and full stops take the class of their ASCII counterparts, no-break spaces are Word.
CharClass classOfNonAscii(std::string_view text, size_t pos);
inline CharClass classAt(std::string_view text, size_t pos)
{
    return static_cast<unsigned char>(text[pos]) < 0x80 ? classOfAscii(text[pos])
                                                        : classOfNonAscii(text, pos);
}
inline bool isWhite(CharClass c)
{
    return c == CharClass::Space || c == CharClass::White;
}

// What the rules see at the start of a line.
struct LineShape
{
    size_t prefixBytes = 0;    // the quote prefix: ">" characters, each optionally followed by " "
    int depth = 0;             // the number of ">" in it
    size_t markerBytes = 0;    // the list marker after the prefix, its space included; 0: none
    bool preformatted = false; // the text after the prefix starts with a TAB or four spaces
    bool blank = false;        // nothing but white space after the prefix
};

LineShape shapeOfLine(std::string_view line);

// The list marker at the start of text ("- ", "* ", "+ ", "• ", one to three digits and ". "
// or ") "): its length in bytes, 0 when there is none.
size_t listMarkerLength(std::string_view text);

// The line that opens the signature: "-- " exactly.
inline bool isSignatureSeparator(std::string_view line)
{
    return line == "-- ";
}

// A token (a run of non-white-space characters) that is never cut: it contains "://", starts
// with "www." or "mailto:" (after opening brackets or quotes), or has the form local@domain
// with a "." in the domain.
bool isUnbreakableToken(std::string_view token);

// True when a line whose text starts with `rest` would be read as a list item, a quote or
// the signature separator: a cut is not placed where it leaves such a piece if another fits.
bool startsLikeLineStructure(std::string_view rest);

} // namespace lintrel
