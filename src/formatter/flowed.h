// RFC 3676 format=flowed with DelSp=No: writing one line, and reading flowed text back.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

// Appends one line of flowed text whose content is lead + body at the given quote depth.
// Soft lines end in a space (one is added when missing); hard lines lose their trailing white
// space, except the signature separator "-- ". Quoted lines start with ">" x depth and one
// space; unquoted ones that start with " ", ">" or "From " are space-stuffed.
void appendFlowedLine(std::string &out, int depth, std::string_view lead, std::string_view body,
                      bool soft);

// Writes `wrapped` as flowed text, given the `original` it was made from by inserting line
// breaks only (as Format does): the inserted breaks are soft, the others hard. Quoted lines
// take the depth of their own prefix; from the signature line "-- " on nothing is read as a
// quote. When `wrapped` is not such a text, every break is hard.
std::string flowedFromWrap(std::string_view original, std::string_view wrapped,
                           std::string_view newline = "\r\n");

// Reads format=flowed text (DelSp=No; any line breaks) and writes each paragraph as one line:
// ">" x depth and one space before quoted text (">" x depth alone for an empty one). A flowed
// line followed by one of another depth ends its paragraph. Line breaks become `newline`; a
// final line break is kept.
std::string unflowText(std::string_view flowed, std::string_view newline = "\r\n");

} // namespace lintrel
