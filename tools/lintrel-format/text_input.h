// Reading the tool's input as Import reads a file, in pieces that keep memory use small.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Reads the file (or standard input for "-") and hands its text to `sink` in order, in
// pieces, decoded as Import decodes a file: without its byte-order mark, every valid UTF-8
// sequence as it is and every other byte as its Windows-1252 character. A regular file is
// read a piece at a time; other input is read whole first.
// Throws lintrel::Error "Cannot open file "<path>". <reason>" on a file error.
void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink);

// Hands bytes that are all in memory over decoded, in pieces.
void handOverImported(std::string_view bytes, const std::function<void(std::string_view)> &sink);

} // namespace lintrel
