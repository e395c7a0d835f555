// Email-aware Format and Reflow, written as plain text or as format=flowed.
#pragma once

#include "formatter/email_rules.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lintrel {

struct EmailWrapOptions
{
    int64_t maxLength = 60;               // M, at least 1 (std::invalid_argument otherwise)
    const CharMeasure *measure = nullptr; // null: charMeasure(Measure::Clusters)
    bool flowed = false;                  // write RFC 3676 format=flowed with DelSp=No
    std::string_view newline = "\r\n";    // every line break of the output
};

// Format with the email rules. Lines are separated by CR LF, lone CR or lone LF. A line that
// fits M (trailing white space not counted) is left alone; so are preformatted lines, blank
// lines and everything from the signature line "-- " on. Any other line is cut at the end of
// a word into pieces that fit M; each piece repeats the line's quote prefix, and the pieces
// of a list item hang under its text. Links and addresses are never cut; a word longer than
// the room is cut inside it (after its last ".", ":" or ";" that fits, else hard). White
// space at a cut stays at the end of the head, so no character is lost.
std::string emailFormat(std::string_view utf8, const EmailWrapOptions &options);

// Reflow: joins the lines of each paragraph (consecutive non-blank lines of one quote depth,
// none preformatted or in the signature; a list item opens a new one) with one space, then
// cuts it as emailFormat does. White space at a cut and at the end of a paragraph is dropped.
std::string emailReflow(std::string_view utf8, const EmailWrapOptions &options);

} // namespace lintrel
