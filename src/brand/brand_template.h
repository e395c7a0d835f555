// A commented starting document for a new brand.
#pragma once

#include <string>

namespace lintrel {

// Every field in the order the loader reads it, with sample values and comments (text
// outside the tags, which the loader ignores). It loads as a Free brand with a news service,
// one welcome page, one banner (banner1.dat) and two links.
std::string brandTemplate();

} // namespace lintrel
