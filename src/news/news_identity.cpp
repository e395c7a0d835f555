// Which news service a brand asks, and as whom.
#include "news/news_identity.h"

#include "news/news_protocol.h"
#include "util/fields.h"

namespace lintrel {

std::optional<NewsIdentity> newsIdentityFor(const BrandSettings &brand)
{
    const std::string *publisher = nullptr;
    if (brand.BranderType == "Master")
        publisher = &brand.MasterPublID;
    else if (brand.BranderType == "Platinum")
        publisher = &brand.PlatinumPublID;
    else if (brand.BranderType == "Gold")
        publisher = &brand.GoldPublID;
    if (!publisher || publisher->empty())
        return std::nullopt;
    NewsIdentity who;
    who.publisherId = *publisher;
    who.brandCode = brand.BranderCode;
    who.prodType = productTypeForLevel(brand.BranderType).value_or("");
    who.masterBaseUrl = brand.MasterNewsBaseURL;
    who.platinumBaseUrl = brand.PlatinumNewsBaseURL;
    who.goldBaseUrl = brand.GoldNewsBaseURL;
    return who;
}

int32_t newsIdNumber(std::string_view id)
{
    return parseInt32(id).value_or(0);
}

} // namespace lintrel
