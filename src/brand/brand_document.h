// The brand document as text: line reading, joining, the settings record and its field order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// Splits document bytes into lines. A line ends at CR LF, a lone CR or a lone LF; a final
// line break adds no empty line; a zero byte ends the document.
std::vector<std::string> readDocumentLines(std::string_view bytes);

// Joins lines with CR LF after each one (also the form in which a document is written back).
std::string joinDocumentLines(const std::vector<std::string> &lines);

// The brand strings, as bytes of the document. All empty until a document is loaded.
struct BrandSettings
{
    std::string ApplicationName;
    std::string BranderCode;
    std::string BranderType;  // the brand level: "Master", "Platinum", "Gold" or "Free"
    std::string AffiliateURL; // with every "%%AFFILIATEID%%" replaced by AffiliateID
    std::string AffiliateTYPE;
    std::string AffiliateID;
    std::string MasterNewsBaseURL;
    std::string PlatinumNewsBaseURL;
    std::string GoldNewsBaseURL;
    std::string MasterPublID;
    std::string PlatinumPublID;
    std::string GoldPublID;
    std::string MakeMoneyButton; // the value as written; an empty one means "Make Money"
    std::string AppHelpURL;
    std::string CopyrightYears;
    std::string CopyrightCompany;
    std::string AboutText;
    // This run's picks.
    std::string WelcomePage;
    std::string BannerFile;
    std::string BannerURL;
    std::string Link1Caption;
    std::string Link1URL;
    std::string Link2Caption;
    std::string Link2URL;
};

struct BrandField
{
    std::string_view tag;
    std::string BrandSettings::*member;
};

// The single-valued fields in the order the loader reads them. A field must stand after the
// closing tag of every field before it in this list, or it is not found.
inline constexpr std::array<BrandField, 17> kBrandFields = {{
    {"ApplicationName", &BrandSettings::ApplicationName},
    {"BranderCode", &BrandSettings::BranderCode},
    {"BranderType", &BrandSettings::BranderType},
    {"AffiliateURL", &BrandSettings::AffiliateURL},
    {"AffiliateTYPE", &BrandSettings::AffiliateTYPE},
    {"AffiliateID", &BrandSettings::AffiliateID},
    {"MasterNewsBaseURL", &BrandSettings::MasterNewsBaseURL},
    {"PlatinumNewsBaseURL", &BrandSettings::PlatinumNewsBaseURL},
    {"GoldNewsBaseURL", &BrandSettings::GoldNewsBaseURL},
    {"MasterPublID", &BrandSettings::MasterPublID},
    {"PlatinumPublID", &BrandSettings::PlatinumPublID},
    {"GoldPublID", &BrandSettings::GoldPublID},
    {"MakeMoneyButton", &BrandSettings::MakeMoneyButton},
    {"AppHelpURL", &BrandSettings::AppHelpURL},
    {"CopyrightYears", &BrandSettings::CopyrightYears},
    {"CopyrightCompany", &BrandSettings::CopyrightCompany},
    {"AboutText", &BrandSettings::AboutText},
}};

// The numbered entry families, read after the fields above, each numbered 1 to kMaxEntries.
inline constexpr std::array<std::string_view, 3> kEntryFamilies = {"Welcome", "Banner", "Link"};
inline constexpr int kMaxEntries = 16;

// The marker of the last news item read; stored in the same document, never read as a brand
// field.
inline constexpr std::string_view kLastNewsIdTag = "LastNewsId";

inline std::string openingTag(std::string_view name)
{
    return "<%%" + std::string(name) + "%%>";
}

inline std::string closingTag(std::string_view name)
{
    return "<%%/" + std::string(name) + "%%>";
}

} // namespace lintrel
