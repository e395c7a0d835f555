// Checks of a brand document for mistakes the loader would silently accept.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

struct LintWarning
{
    std::string field;   // the tag or entry the warning is about ("" for the whole document)
    std::string message; // one human-readable line, without a line break
};

// Warns about fields hidden by their order (naming the field read first that hides them),
// unknown or misspelt tags (with the nearest known name), opening tags without a closing tag,
// entries after a gap in their numbering, banner entries without a picture or whose
// banner<N>.dat is missing (bannerFileExists is asked with that file name), a BranderType
// outside the four levels and a level without its publisher id or news base URL.
std::vector<LintWarning>
lintBrandDocument(std::string_view documentBytes,
                  const std::function<bool(std::string)> &bannerFileExists);

} // namespace lintrel
