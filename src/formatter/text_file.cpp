// Text files: UTF-8 validation, per-sequence decoding, line breaks, whole-file read and write.
#include "formatter/text_file.h"

#include "formatter/unicode_text.h"
#include "util/atomic_file.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace lintrel {

namespace {

// Length of the ASCII run at the start of the bytes: 64 at a time, then 16, then one by one.
size_t asciiPrefix(const unsigned char *p, size_t n)
{
    size_t i = 0;
    const auto load = [p](size_t at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at));
    };
    for (; i + 64 <= n; i += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(load(i), load(i + 16)),
                                         _mm_or_si128(load(i + 32), load(i + 48)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
    for (; i + 16 <= n; i += 16) {
        if (const int m = _mm_movemask_epi8(load(i)); m != 0)
            return i + size_t(__builtin_ctz(unsigned(m)));
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// Length of the well-formed sequence at p (lead byte >= 0x80), or 0 when it is malformed.
size_t sequenceLength(const unsigned char *p, size_t avail)
{
    const unicode::Decoded d = unicode::decode(reinterpret_cast<const char *>(p), avail);
    return d.length > 1 ? d.length : 0;
}

// True when the bytes (fewer than a whole sequence) begin a well-formed sequence, so more
// bytes could complete it.
bool beginsSequence(const unsigned char *p, size_t avail)
{
    unsigned char padded[4] = {p[0], 0xBF, 0xBF, 0xBF};
    for (size_t k = 1; k < avail && k < 4; ++k)
        padded[k] = p[k];
    // The second byte's range depends on the lead; try both ends of it.
    for (const unsigned char second : {0x80, 0xBF}) {
        if (avail < 2)
            padded[1] = second;
        if (sequenceLength(padded, 4) > avail)
            return true;
    }
    return false;
}

// Position of the first CR or LF at or after `from`, or npos; 16 bytes at a time.
size_t findLineBreak(std::string_view text, size_t from)
{
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    size_t i = from;
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + i));
        const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)));
        if (m != 0)
            return i + size_t(__builtin_ctz(unsigned(m)));
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n')
            return i;
    }
    return std::string_view::npos;
}

// Windows-1252 0x80..0x9F; the unassigned bytes map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string &out, char16_t cp)
{
    if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
    }
    out += char(0x80 | (cp & 0x3F));
}

} // namespace

size_t appendDecodedText(std::string &out, std::string_view bytes, bool final)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const size_t run = asciiPrefix(p + i, n - i);
        out.append(bytes.data() + i, run);
        i += run;
        if (i == n)
            break;
        if (const size_t len = sequenceLength(p + i, n - i); len > 0) {
            out.append(bytes.data() + i, len);
            i += len;
        } else if (!final && n - i < 4 && beginsSequence(p + i, n - i)) {
            break;
        } else {
            const unsigned char b = p[i++];
            appendUtf8(out, b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
        }
    }
    return i;
}

bool isValidUtf8(std::string_view bytes)
{
    static const bool ssse3 = detail::cpuHasSsse3();
    return ssse3 ? detail::isValidUtf8Ssse3(bytes) : detail::isValidUtf8Scalar(bytes);
}

bool detail::isValidUtf8Scalar(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        i += asciiPrefix(p + i, n - i);
        if (i == n)
            break;
        const size_t len = sequenceLength(p + i, n - i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string decodeTextBytes(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendDecodedText(out, bytes, true);
    return out;
}

std::string normalizeLineBreaks(std::string_view text, std::string_view newline)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    size_t start = 0;
    for (;;) {
        const size_t pos = findLineBreak(text, start);
        if (pos == std::string_view::npos)
            break;
        out.append(text, start, pos - start);
        out.append(newline);
        start = pos + (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1);
    }
    out.append(text, start);
    return out;
}

std::string_view detectLineBreak(std::string_view text)
{
    const size_t pos = findLineBreak(text, 0);
    if (pos == std::string_view::npos)
        return {};
    if (text[pos] == '\n')
        return "\n";
    return pos + 1 < text.size() && text[pos + 1] == '\n' ? "\r\n" : "\r";
}

std::string readTextFile(const std::string &path)
{
    try {
        return readFile(path);
    } catch (const FileError &e) {
        if (e.op() != FileOp::Read)
            throw;
        throw FileError(FileOp::Open, path, e.errnum()); // the window reports both alike
    }
}

std::string importTextFile(const std::string &path, std::string_view newline)
{
    std::string text = normalizeLineBreaks(decodeTextBytes(readTextFile(path)), newline);
    if (text.size() > kMemoCapacity)
        throw Error("Text exceeds memo capacity");
    return text;
}

void writeTextFile(const std::string &path, std::string_view text)
{
    try {
        replaceFile(path, text);
    } catch (const FileError &e) {
        if (e.op() == FileOp::Write)
            throw Error("Stream write error");
        throw;
    }
}

} // namespace lintrel
