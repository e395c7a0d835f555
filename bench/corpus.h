// A deterministic generator of email-like text for benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lintrel {

// Email-like text of exactly `bytes` bytes: paragraphs of sentences made of words of
// realistic lengths, ending in ". ! ?", with commas, semicolons, colons and numbers such as
// 3.14; CR LF line breaks, a blank line between paragraphs, most lines 20-200 characters and
// a few over 5,000. The UTF-8 variant adds accented letters and emoji (valid UTF-8 throughout;
// the end is padded with spaces rather than cut inside a character). The same seed gives the
// same text on every platform.
std::string makeEmailCorpus(size_t bytes, bool utf8Variant, uint64_t seed = 1);

// The same prose as the text of a long reply thread, exactly `bytes` bytes: blocks of it
// quoted at depth 1 to 3 (hard-wrapped near 72 columns, prefixes "> ", ">> ", "> > ",
// ">"), links in the text and in angle brackets, addresses, bulleted and numbered lists,
// indented code lines, and one signature at the very end (where it leaves everything after
// it alone). Same seed, same text.
std::string makeEmailThreadCorpus(size_t bytes, bool utf8Variant, uint64_t seed = 1);

} // namespace lintrel
