// Tests of the INI reader with the Windows profile rules.
#include "support/temp_folder.h"
#include "update/profile_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using lintrel::readProfileString;

TEST(ProfileReader, FollowsTheWindowsProfileRules)
{
    const std::string ini = "; live update\r\n"
                            "[Other]\r\n"
                            "Version=9.9\r\n"
                            "  [ application ]  \r\n"
                            "  VERSION =  2.1  \r\n"
                            "Name=\"  Lintrel  \"\r\n"
                            "Quoted='it''s'\n"
                            "Half=\"open\r"
                            "Eq=a=b\n"
                            "Empty=\n"
                            "Bare\n"
                            "Version=3.0\n"
                            ";Comment=x\n"
                            "[APPLICATION]\n"
                            "Later=found\n"
                            "Name=second";
    struct Row
    {
        const char *section, *key, *value;
    };
    const Row rows[] = {
        {"APPLICATION", "Version", "2.1"},      // names ignore case and blanks; first key wins
        {"Application", "name", "  Lintrel  "}, // one pair of quotes goes, blanks inside stay
        {"APPLICATION", "Quoted", "it''s"},
        {"APPLICATION", "Half", "\"open"},
        {"APPLICATION", "Eq", "a=b"}, // the value is what follows the first "="
        {"APPLICATION", "Empty", ""},
        {"APPLICATION", "Bare", ""},
        {"APPLICATION", "Later", "found"}, // a later section of the same name is searched
        {"APPLICATION", ";Comment", ""},
        {"Other", "Version", "9.9"},
        {"Missing", "Version", ""},
        {"APPLICATION", "Missing", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(readProfileString(ini, row.section, row.key), row.value)
            << row.section << "/" << row.key;
}

TEST(ProfileReader, CutsLongValuesAndReadsFiles)
{
    const std::string longValue(3000, 'v');
    const std::string ini = "\xEF\xBB\xBF[APPLICATION]\nVersion=" + longValue + "\n";
    EXPECT_EQ(readProfileString(ini, "APPLICATION", "Version"), longValue.substr(0, 2047));

    const lintrel::test::TempFolder temp("profile");
    const auto path = temp / "mainappupdate.inf";
    std::ofstream(path, std::ios::binary) << "[APPLICATION]\r\nVersion=2.5\r\n";
    EXPECT_EQ(lintrel::readProfileStringFromFile(path.string(), "APPLICATION", "Version"), "2.5");
    std::filesystem::remove(path);
    EXPECT_EQ(lintrel::readProfileStringFromFile(path.string(), "APPLICATION", "Version"), "");
}
