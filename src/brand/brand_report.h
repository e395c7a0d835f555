// The plain-text listing of a loaded brand document, one "Name=value" line per item.
#pragma once

#include "brand/brand_loader.h"

#include <string>
#include <string_view>

namespace lintrel {

// value with CR written as \r and LF as \n, so it fits on one line.
std::string escapeLineBreaks(std::string_view value);

// The fields in loader order, then Welcome<N>=, Banner<N>=, Link<N>= for the entries the
// loader keeps, then NewsButton=shown or NewsButton=hidden. Each line ends with '\n'.
std::string brandReport(const BrandLoadResult &result);

} // namespace lintrel
