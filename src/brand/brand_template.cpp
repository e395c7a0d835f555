// The starting document for a new brand.
#include "brand/brand_template.h"

namespace lintrel {

namespace {

// Comments must never contain the tag marks themselves, or the loader would read them.
constexpr const char *kTemplate = R"(Lintrel brand document.
Each field is an opening tag, the value and a closing tag. Tag names ignore letter case;
text outside the tags (like these lines) is ignored. Keep the fields in this order: a
field written before the end of an earlier one is not found. A field may be left out.

Product name shown in the title bar (followed by the version).
<%%ApplicationName%%>My Product<%%/ApplicationName%%>

Brand code sent with news requests, and the brand level: Master, Platinum, Gold or Free
(exact letter case).
<%%BranderCode%%>MYBRAND<%%/BranderCode%%>
<%%BranderType%%>Free<%%/BranderType%%>

Address behind the Make Money button; every %%AFFILIATEID%% is replaced by the affiliate id.
<%%AffiliateURL%%>https://www.example.com/join?aff=%%AFFILIATEID%%<%%/AffiliateURL%%>
<%%AffiliateTYPE%%>standard<%%/AffiliateTYPE%%>
<%%AffiliateID%%>12345<%%/AffiliateID%%>

News service base addresses and publisher ids per level (Free uses the Master ones).
The news button shows only when the level has both.
<%%MasterNewsBaseURL%%>https://news.example.com/<%%/MasterNewsBaseURL%%>
<%%PlatinumNewsBaseURL%%><%%/PlatinumNewsBaseURL%%>
<%%GoldNewsBaseURL%%><%%/GoldNewsBaseURL%%>
<%%MasterPublID%%>1001<%%/MasterPublID%%>
<%%PlatinumPublID%%><%%/PlatinumPublID%%>
<%%GoldPublID%%><%%/GoldPublID%%>

Caption of the Make Money button (empty: Make Money) and the address of the Help button.
<%%MakeMoneyButton%%>Make Money<%%/MakeMoneyButton%%>
<%%AppHelpURL%%>https://www.example.com/help<%%/AppHelpURL%%>

About window texts.
<%%CopyrightYears%%>2024<%%/CopyrightYears%%>
<%%CopyrightCompany%%>Example Ltd.<%%/CopyrightCompany%%>
<%%AboutText%%>Formats the text of your emails.<%%/AboutText%%>

Welcome pages (Welcome1 to Welcome16, HTML): one is shown at random at each start.
Numbering must not skip: the list ends at the first missing or empty number.
<%%Welcome1%%><html><body><h1>Welcome to My Product</h1></body></html><%%/Welcome1%%>

Banners (Banner1 to Banner16): picture file name ^ click address. The picture of BannerN
is the file bannerN.dat beside the settings file; the extension of the file name written
here (gif, png, jpg) says how to show it.
<%%Banner1%%>banner.gif^https://www.example.com/<%%/Banner1%%>

Links (Link1 to Link16): caption ^ address. Two different ones are shown at random.
<%%Link1%%>Home page^https://www.example.com/<%%/Link1%%>
<%%Link2%%>Support^https://www.example.com/support<%%/Link2%%>
)";

} // namespace

std::string brandTemplate()
{
    std::string text;
    // The document's own line ends are CR LF.
    for (const char *p = kTemplate; *p != '\0'; ++p) {
        if (*p == '\n')
            text += '\r';
        text += *p;
    }
    return text;
}

} // namespace lintrel
