// Reading the tool's input as Import reads a file, in pieces that keep memory use small.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Checks UTF-8 of a text handed over in pieces split anywhere.
class Utf8Checker
{
public:
    void add(std::string_view bytes);
    // True when everything added so far, taken as a whole, is well-formed UTF-8.
    bool valid() const { return valid_ && tailSize_ == 0; }

private:
    bool valid_ = true;
    char tail_[4] = {}; // an incomplete sequence at the end of the last piece
    size_t tailSize_ = 0;
};

// Reads the file (or standard input for "-") and hands its text to `sink` in order, in
// pieces of about a megabyte: UTF-8 without its byte-order mark when the whole input is
// valid UTF-8, otherwise decoded from Windows-1252. A regular file is read twice (first to
// check its encoding) so that memory use stays small; other input is read whole first.
// Throws lintrel::Error "Cannot open file "<path>". <reason>" on a file error.
void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink);

} // namespace lintrel
