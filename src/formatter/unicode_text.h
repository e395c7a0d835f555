// Unicode for counting and wrapping: decoding, character classes, widths and extended grapheme
// cluster boundaries (on utf8proc), and the per-block cluster pass behind the fast kernels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lintrel {

// What line lengths, the longest line and the maximum line length are measured in.
enum class Measure {
    Clusters, // user-perceived characters (extended grapheme clusters)
    Columns,  // screen columns: 2 for wide characters and emoji, 0 for invisible ones, else 1
};

namespace unicode {

// Class of a character for the statistics and the wrapper. A character with no separator
// flag is a word character. Line ends (CR, LF) are separators and sentence ends.
enum ClassFlags : uint8_t {
    kSeparator = 1,
    kSentenceEnd = 2,
    kBreak = 4, // the wrapper may cut right after it
};

// One decoded code point. A unit that does not begin a well-formed sequence (a bad byte, a
// lone surrogate, a sequence cut short by `avail`) decodes alone as U+FFFD.
struct Decoded
{
    char32_t cp;
    uint32_t length; // in code units, 1 to 4
};
Decoded decode(const char *p, size_t avail);
Decoded decode(const char16_t *p, size_t avail);

// The class of a code point; ASCII keeps its own classes, other scripts' punctuation and
// spaces take the class of their ASCII counterparts.
uint8_t classOf(char32_t cp);

// The running state of cluster segmentation over a text, code point by code point.
struct ClusterState
{
    int32_t breakState = 0;    // utf8proc's state for the emoji and regional-indicator rules
    char32_t previous = 0;     // the previous code point; NUL (a control) at a boundary
    uint8_t previousClass = 4; // its cluster-break class (utf8proc's; NUL is a control)
    uint8_t flags = 0;         // class of the current cluster: that of its first code point
    uint8_t width = 0;         // columns of the current cluster so far
    bool emojiBase = false;    // the cluster began with a character that VS16 turns into emoji
    bool flag = false;         // the cluster began with a regional indicator
};

// Feeds the next code point. Returns true when it begins a new cluster; `widthGain` is how
// many columns it adds to its cluster (0, 1 or 2).
bool advance(ClusterState &state, char32_t cp, uint32_t &widthGain);

// The cluster pass over one block of 64 code units: it takes every unit that is not ASCII,
// and any ASCII unit that joins a cluster, and decides its bits; the other units keep what the
// block-parallel ASCII classification gave them. Bit i describes unit i.
struct BlockPatch
{
    uint64_t covered = 0;     // units decided here
    uint64_t starts = 0;      // units that begin a cluster
    uint64_t separator = 0;   // units of separator clusters
    uint64_t sentenceEnd = 0; // units of sentence-end clusters
    uint64_t breaks = 0;      // units of clusters the wrapper may cut after
    uint64_t width1 = 0;      // units that add one column
    uint64_t width2 = 0;      // units that add a second column
};

// State carried from one block to the next.
struct BlockCarry
{
    ClusterState cluster;
    int32_t tail = 0;       // the block's last unit when ASCII and not decided here, else -1
    uint32_t spill = 0;     // units at the start of the next block that end a code point
    bool joins = false;     // the next unit may join the current cluster
    bool malformed = false; // a unit that is not well-formed UTF-8 (or UTF-16) was seen
};

// True when a block needs the cluster pass: it holds a unit that is not ASCII, or its first
// unit may join the cluster before it.
inline bool needsPatch(uint64_t nonAscii, const BlockCarry &carry)
{
    return nonAscii != 0 || carry.joins || carry.spill != 0;
}

// The block at p (64 units, of which the text holds `avail`, possibly more past the block:
// code points may be decoded across its end). nonAscii marks its units of 128 and above.
BlockPatch patchBlock(const char *p, size_t avail, uint64_t nonAscii, BlockCarry &carry);
BlockPatch patchBlock(const char16_t *p, size_t avail, uint64_t nonAscii, BlockCarry &carry);

// After a block without the cluster pass: its last unit is an ASCII one.
inline void skipAsciiBlock(BlockCarry &carry, uint32_t lastUnit)
{
    carry.tail = int32_t(lastUnit);
}

} // namespace unicode
} // namespace lintrel
