// Text files: UTF-8 validation, Windows-1252 decoding, line breaks, whole-file read and write.
#include "formatter/text_file.h"

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
    const unsigned char b = p[0];
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        lo = b == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = b == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        lo = b == 0xF0 ? 0x90 : 0x80; // no overlong forms
        hi = b == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (avail < len || p[1] < lo || p[1] > hi)
        return 0;
    for (size_t k = 2; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    }
    return len;
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

std::string decodeWindows1252(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t i = 0; i < bytes.size();) {
        const size_t run = asciiPrefix(p + i, bytes.size() - i);
        out.append(bytes.data() + i, run);
        i += run;
        if (i < bytes.size()) {
            const unsigned char b = p[i++];
            appendUtf8(out, b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
        }
    }
    return out;
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
    if (!isValidUtf8(bytes))
        return decodeWindows1252(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return std::string(bytes);
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
    // One statement at a time, so that no more than two copies of a large file are alive.
    std::string bytes = readTextFile(path);
    if (!isValidUtf8(bytes))
        bytes = decodeWindows1252(bytes);
    else if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    std::string text = normalizeLineBreaks(bytes, newline);
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
