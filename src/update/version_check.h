// Deciding whether the update descriptor's version is newer than the program's.
#pragma once

#include <string_view>

namespace lintrel {

// A decimal number: optional sign, digits with an optional "." part (a point whatever the
// locale), optional exponent; blanks around it are allowed. Nothing else converts.
bool isDecimalNumber(std::string_view text);

// The descriptor's version held in single precision, as the program always compared it;
// 0 for text that does not convert (or overflows).
float descriptorVersionNumber(std::string_view text);

// The program's own version at full precision. Throws lintrel::Error for text that does not
// convert (it is compiled in, so this is a build fault).
long double appVersionNumber(std::string_view text);

// An update is offered exactly when the program's version is below the descriptor's.
bool isUpdateOffered(std::string_view appVersion, std::string_view descriptorVersion);

} // namespace lintrel
