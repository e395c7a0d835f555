// Reading the tool's input as Import reads a file, in pieces that keep memory use small.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Reads the file (or standard input for "-") and hands its text to `sink` in order, in
// pieces of about a megabyte: UTF-8 without its byte-order mark when the whole input is
// valid UTF-8, otherwise decoded from Windows-1252. A regular file is mapped into memory;
// other input is read whole first. With `restart`, pieces may be handed over as UTF-8
// before the whole input is checked: should it turn out not to be UTF-8, restart() is
// called and the whole text is handed over again, decoded.
// Throws lintrel::Error "Cannot open file "<path>". <reason>" on a file error.
void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink,
                      const std::function<void()> &restart = {});

} // namespace lintrel
