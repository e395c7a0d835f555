// Tests of the version decision and of the update texts.
#include "update/app_info.h"
#include "update/update_messages.h"
#include "update/version_check.h"
#include "util/errors.h"

#include <gtest/gtest.h>

using namespace lintrel;

TEST(VersionCheck, OffersAnUpdateOnlyForAHigherSinglePrecisionVersion)
{
    struct Row
    {
        const char *descriptor;
        bool offered;
    };
    const Row rows[] = {
        {"2.0", false},    {"2.1", true},   {"2.0000001", false}, {"2.0000002", true},
        {"1.5", false},    {"abc", false},  {"", false},          {" 2.1 ", true},
        {"+2.5", true},    {"3", true},     {"2.", false},        {".5", false},
        {"2.1e0", true},   {"21e-1", true}, {"2,1", false},       {"2.1.1", false},
        {"2.1abc", false}, {"inf", false},  {"nan", false},       {"0x10", false},
        {"1e40", false},   {"-3", false},   {"2 .1", false},      {"e5", false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(isUpdateOffered("2.0", row.descriptor), row.offered) << row.descriptor;
}

TEST(VersionCheck, NumberConversion)
{
    EXPECT_EQ(descriptorVersionNumber("2.5"), 2.5f);
    EXPECT_EQ(descriptorVersionNumber("2.1"), 2.1f);
    EXPECT_EQ(descriptorVersionNumber("2,5"), 0.0f); // the point is the only separator
    EXPECT_EQ(appVersionNumber(" 2.0 "), 2.0L);
    EXPECT_EQ(appVersionNumber("2.1"), 2.1L);
    EXPECT_THROW(appVersionNumber("2,0"), Error);
}

TEST(VersionCheck, UpdateTextsAndUpdaterArguments)
{
    EXPECT_EQ(updateOfferMessage(" 2.10"), "There is a new update: (version  2.10) available for "
                                           "your application!. Do you want download this update "
                                           "now?");
    EXPECT_EQ(kUpdateConfirm, "To update your software the application will close to\n\rreplace "
                              "some files. Do you want to update now?");
    EXPECT_EQ(appVersion(), "2.0");
    EXPECT_TRUE(updateServerBaseUrl().ends_with("/liveupdate/lintrel/"));
    EXPECT_EQ(updaterArguments(), (std::vector<std::string>{updateServerBaseUrl(), "2.0", "A"}));
}
