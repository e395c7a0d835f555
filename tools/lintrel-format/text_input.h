// Reading the tool's input as Import reads a file, in pieces that keep memory use small.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Reads the file (or standard input for "-") and hands its text to `sink` in order, in
// pieces of about a megabyte, decoded as Import decodes a file: without its byte-order mark,
// every valid UTF-8 sequence as it is and every other byte as its Windows-1252 character. A
// regular file is mapped into memory; other input is read whole first.
// Throws lintrel::Error "Cannot open file "<path>". <reason>" on a file error.
void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink);

// The two halves of readImportedText: the input's bytes as they are (a regular file mapped,
// other input read whole), and handing bytes over decoded.
void withInputBytes(const std::string &file, const std::function<void(std::string_view)> &use);
void handOverImported(std::string_view bytes, const std::function<void(std::string_view)> &sink);

} // namespace lintrel
