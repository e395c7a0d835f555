// Text files the user imports and saves: decoding, line breaks, reading and writing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lintrel {

// The most text the email text area takes, in bytes of UTF-8.
inline constexpr size_t kMemoCapacity = 16 * 1024 * 1024;

// True when the bytes are well-formed UTF-8: no overlong forms, no surrogates (U+D800 to
// U+DFFF), nothing above U+10FFFF, no truncated sequence.
bool isValidUtf8(std::string_view bytes);

namespace detail {
// The implementations behind isValidUtf8: one sequence at a time, and 16 bytes at a time
// (call only when cpuHasSsse3()).
bool isValidUtf8Scalar(std::string_view bytes);
bool isValidUtf8Ssse3(std::string_view bytes);
bool cpuHasSsse3();
} // namespace detail

// Bytes of a text file as UTF-8 text, decoded sequence by sequence: every well-formed UTF-8
// sequence stands for itself, and every byte that is not part of one is read as its
// Windows-1252 character (the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D become
// U+0081 and so on). So valid UTF-8 is kept as it is, a Windows-1252 file reads as
// Windows-1252, and a UTF-8 file with a stray byte keeps its accents. A leading byte-order
// mark is dropped.
std::string decodeTextBytes(std::string_view bytes);

// The same decoding for a text handed over in pieces (byte-order mark not handled): appends
// the decoded bytes and returns how many it took. That is all of them when `final`; otherwise
// a sequence cut short at the end (at most 3 bytes) is left for the next piece.
size_t appendDecodedText(std::string &out, std::string_view bytes, bool final);

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Turns every CR LF pair, lone CR and lone LF into `newline`.
std::string normalizeLineBreaks(std::string_view text, std::string_view newline = "\r\n");

// The style of the text's first line break ("\r\n", "\n" or "\r"), or "" without any.
std::string_view detectLineBreak(std::string_view text);

// The whole content of a file, byte for byte. Throws lintrel::Error
// "Cannot open file "<full path>". <system text>" when it cannot be opened or read.
std::string readTextFile(const std::string &path);

// Import: reads the file, decodes it and turns its line breaks into `newline`. Throws as
// readTextFile, and lintrel::Error "Text exceeds memo capacity" when the text is longer than
// kMemoCapacity bytes.
std::string importTextFile(const std::string &path, std::string_view newline = "\r\n");

// Save: writes the text byte for byte (callers pass UTF-8 with CR LF breaks) through the
// file layer's AtomicFile, so a failed save leaves the old file whole. Throws lintrel::Error
// "Cannot create file "<full path>". <system text>" when the file cannot be created, and "Stream
// write error" when not every byte could be written.
void writeTextFile(const std::string &path, std::string_view text);

} // namespace lintrel
