// Unicode for counting and wrapping on utf8proc: decoding, classes, widths, cluster pass.
#include "formatter/unicode_text.h"

#include <utf8proc.h>

#include <memory>

namespace lintrel::unicode {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr uint8_t asciiClass(char32_t c)
{
    switch (c) {
    case '\n':
    case '\r':
    case '!':
    case '?':
        return kSeparator | kSentenceEnd;
    case '.':
        return kSeparator | kSentenceEnd | kBreak;
    case ' ':
    case ';':
        return kSeparator | kBreak;
    case ',':
        return kSeparator;
    case ':':
        return kBreak; // a word character that the wrapper may cut after
    default:
        return 0;
    }
}

// Spaces a line may end in. The no-break spaces (U+00A0, U+2007, U+202F), the line and
// paragraph separators, NEL and the Ogham space mark (a visible stroke) separate words only.
bool isBreakableSpace(char32_t cp)
{
    return cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200A && cp != 0x2007) || cp == 0x205F;
}

uint8_t classOf(char32_t cp, const utf8proc_property_t *prop)
{
    if (cp < 0x80)
        return asciiClass(cp);
    switch (prop->category) {
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
        // With NEL below, exactly the White_Space characters above U+007F.
        return kSeparator | (isBreakableSpace(cp) ? kBreak : 0);
    case UTF8PROC_CATEGORY_CC:
        return cp == 0x85 ? kSeparator : 0;
    case UTF8PROC_CATEGORY_PO:
        switch (cp) {
        case 0x3002: // ideographic full stop
        case 0xFF0E: // fullwidth full stop
        case 0x2026: // horizontal ellipsis
            return asciiClass('.');
        case 0xFF01:
            return asciiClass('!');
        case 0xFF1F:
            return asciiClass('?');
        case 0x3001: // ideographic comma
        case 0xFF0C:
            return asciiClass(',');
        case 0xFF1B:
            return asciiClass(';');
        case 0xFF1A:
            return asciiClass(':');
        default:
            return 0;
        }
    default:
        return 0;
    }
}

bool isKeycapBase(char32_t cp)
{
    return cp == '#' || cp == '*' || (cp >= '0' && cp <= '9');
}

// What the cluster pass needs of a character, from the library.
struct CharInfo
{
    uint8_t flags;      // ClassFlags
    uint8_t width;      // utf8proc's character width, 0 to 2
    uint8_t boundclass; // utf8proc's cluster-break class
};

CharInfo lookUp(char32_t cp)
{
    const utf8proc_property_t *prop = utf8proc_get_property(int32_t(cp));
    return {classOf(cp, prop), uint8_t(prop->charwidth), uint8_t(prop->boundclass)};
}

// The same for the Basic Multilingual Plane, packed into 10 bits and built on first use
// (128 KiB, well under a millisecond): text is mostly there, and one load beats the
// library's three-stage look-up.
const uint16_t *bmpInfo()
{
    static const std::unique_ptr<uint16_t[]> table = [] {
        auto t = std::make_unique<uint16_t[]>(0x10000);
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            const CharInfo i = lookUp(cp);
            t[cp] = uint16_t(i.flags | (i.width << 3) | (i.boundclass << 5));
        }
        return t;
    }();
    return table.get();
}

inline CharInfo infoOf(const uint16_t *bmp, char32_t cp)
{
    if (cp >= 0x10000)
        return lookUp(cp);
    const uint16_t packed = bmp[cp];
    return {uint8_t(packed & 7), uint8_t((packed >> 3) & 3), uint8_t(packed >> 5)};
}

inline void resume(ClusterState &state, char32_t ascii, const uint16_t *bmp)
{
    const CharInfo info = infoOf(bmp, ascii);
    state.breakState = 0;
    state.previous = ascii;
    state.previousClass = info.boundclass;
    state.flags = info.flags;
    state.width = ascii >= 0x20 && ascii != 0x7F ? 1 : 0;
    state.emojiBase = isKeycapBase(ascii);
    state.flag = false;
}

inline bool step(ClusterState &state, char32_t cp, const CharInfo &info, uint32_t &widthGain)
{
    // Between two characters of class Other no rule but the last applies: a boundary. This
    // most common case skips the library's look-up of both characters; a zero state makes
    // it start afresh from the previous character, as it does at the start of a text.
    const int32_t before = state.breakState != 0 ? state.breakState : state.previousClass;
    bool starts = true;
    if (before == UTF8PROC_BOUNDCLASS_OTHER && info.boundclass == UTF8PROC_BOUNDCLASS_OTHER)
        state.breakState = 0;
    else
        starts = utf8proc_grapheme_break_stateful(int32_t(state.previous), int32_t(cp),
                                                  &state.breakState);
    state.previous = cp;
    state.previousClass = info.boundclass;
    const uint8_t widthBefore = starts ? 0 : state.width;
    if (starts) {
        state.flags = info.flags;
        state.width = info.width;
        state.emojiBase =
            info.boundclass == UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC || isKeycapBase(cp);
        state.flag = info.boundclass == UTF8PROC_BOUNDCLASS_REGIONAL_INDICATOR;
    } else if ((cp == 0xFE0F && state.emojiBase) ||
               (state.flag && info.boundclass == UTF8PROC_BOUNDCLASS_REGIONAL_INDICATOR)) {
        state.width = 2; // an emoji presentation sequence, or a flag
    } else if (state.width == 0 && info.width > 0) {
        state.width = 1;
    }
    widthGain = uint32_t(state.width - widthBefore);
    return starts;
}

inline Decoded decodeUnits(const char *s, size_t avail)
{
    const auto *p = reinterpret_cast<const unsigned char *>(s);
    const unsigned char b = p[0];
    if (b < 0x80)
        return {b, 1};
    uint32_t length = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        cp = b & 0x0F;
        lo = b == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = b == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        cp = b & 0x07;
        lo = b == 0xF0 ? 0x90 : 0x80; // no overlong forms
        hi = b == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return {kReplacement, 1};
    }
    if (avail < length || p[1] < lo || p[1] > hi)
        return {kReplacement, 1};
    cp = (cp << 6) | (p[1] & 0x3F);
    for (uint32_t k = 2; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return {kReplacement, 1};
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    return {cp, length};
}

inline Decoded decodeUnits(const char16_t *p, size_t avail)
{
    const char16_t u = p[0];
    if ((u & 0xF800) != 0xD800)
        return {u, 1};
    if (u < 0xDC00 && avail >= 2 && (p[1] & 0xFC00) == 0xDC00)
        return {0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00), 2};
    return {kReplacement, 1};
}

// True when a decoded code point stands for units that are not well-formed.
inline bool isMalformed(const char *, const Decoded &d)
{
    return d.length == 1 && d.cp >= 0x80;
}
inline bool isMalformed(const char16_t *p, const Decoded &d)
{
    return d.cp == kReplacement && *p != kReplacement;
}

constexpr uint64_t lowBits(size_t n)
{
    return n >= 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1;
}

// True when the next code point can join the current cluster even if it is ASCII (the
// cluster ends in a prepended character), so the ASCII classification must not decide it.
inline bool nextMayJoin(const ClusterState &state)
{
    return state.breakState == UTF8PROC_BOUNDCLASS_PREPEND;
}

// Decides the units in `bits` as part of a cluster of the given class.
inline void mark(BlockPatch &m, uint64_t bits, uint8_t flags)
{
    m.covered |= bits;
    m.separator |= (flags & kSeparator) ? bits : 0;
    m.sentenceEnd |= (flags & kSentenceEnd) ? bits : 0;
    m.breaks |= (flags & kBreak) ? bits : 0;
}

template <class Unit>
BlockPatch patchUnits(const Unit *p, size_t avail, uint64_t nonAscii, BlockCarry &carry)
{
    BlockPatch m;
    ClusterState &state = carry.cluster;
    const uint16_t *bmp = bmpInfo();
    const size_t n = avail < 64 ? avail : 64;
    uint64_t todo = nonAscii & lowBits(n);
    size_t next = 0; // units before it are decided or left to the ASCII classification
    if (carry.spill != 0) {
        const uint64_t bits = lowBits(carry.spill);
        mark(m, bits, state.flags);
        todo &= ~bits;
        next = carry.spill;
        carry.spill = 0;
        carry.tail = -1;
    }
    while (next < n) {
        size_t at = next;
        if (!carry.joins) {
            const uint64_t rest = todo & ~lowBits(next);
            if (rest == 0)
                break;
            at = size_t(__builtin_ctzll(rest));
            if (at > next)
                resume(state, char32_t(p[at - 1]), bmp);
            else if (at == 0 && carry.tail >= 0)
                resume(state, char32_t(carry.tail), bmp);
        }
        const Decoded d = decodeUnits(p + at, avail - at);
        carry.malformed = carry.malformed || isMalformed(p + at, d);
        uint32_t gain = 0;
        const bool starts = step(state, d.cp, infoOf(bmp, d.cp), gain);
        const size_t end = at + d.length;
        const uint64_t bits = lowBits(end) & ~lowBits(at);
        const uint64_t first = uint64_t(1) << at;
        mark(m, bits, state.flags);
        m.starts |= starts ? first : 0;
        m.width1 |= gain >= 1 ? first : 0;
        m.width2 |= gain >= 2 ? first : 0;
        todo &= ~bits;
        carry.joins = nextMayJoin(state);
        carry.spill = end > 64 ? uint32_t(end - 64) : 0;
        next = end;
    }
    if (n == 64)
        carry.tail = (m.covered >> 63) != 0 ? -1 : int32_t(p[63]);
    return m;
}

} // namespace

Decoded decode(const char *p, size_t avail)
{
    return decodeUnits(p, avail);
}

Decoded decode(const char16_t *p, size_t avail)
{
    return decodeUnits(p, avail);
}

uint8_t classOf(char32_t cp)
{
    return cp < 0x80 ? asciiClass(cp) : classOf(cp, utf8proc_get_property(int32_t(cp)));
}

bool advance(ClusterState &state, char32_t cp, uint32_t &widthGain)
{
    return step(state, cp, infoOf(bmpInfo(), cp), widthGain);
}

BlockPatch patchBlock(const char *p, size_t avail, uint64_t nonAscii, BlockCarry &carry)
{
    return patchUnits(p, avail, nonAscii, carry);
}

BlockPatch patchBlock(const char16_t *p, size_t avail, uint64_t nonAscii, BlockCarry &carry)
{
    return patchUnits(p, avail, nonAscii, carry);
}

} // namespace lintrel::unicode
