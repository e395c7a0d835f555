// Reading the tool's input as Import reads a file, in pieces that keep memory use small.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Reads the file (or standard input for "-") and hands its text to `sink` in order, in
// pieces of about a megabyte: UTF-8 without its byte-order mark when the whole input is
// valid UTF-8, otherwise decoded from Windows-1252. A regular file is mapped into memory;
// other input is read whole first.
// Throws lintrel::Error "Cannot open file "<path>". <reason>" on a file error.
void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink);

} // namespace lintrel
