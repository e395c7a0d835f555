// Which news service a brand asks, and as whom.
#pragma once

#include "brand/brand_document.h"
#include "news/news_client.h"

#include <optional>

namespace lintrel {

// The identity of the brand's level for news requests: "Master", "Platinum" or "Gold"
// (compared exactly) with a non-empty publisher id. Nothing for "Free", any other level,
// or a level without its publisher id: such a brand makes no news request.
std::optional<NewsIdentity> newsIdentityFor(const BrandSettings &brand);

// A news id as the signed 32-bit number it is compared as; text that is not such an
// integer (empty, other characters, out of range) counts as 0.
int32_t newsIdNumber(std::string_view id);

} // namespace lintrel
