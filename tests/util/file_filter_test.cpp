// File-dialog filters and the save dialog's extension rule.
#include "util/file_filter.h"

#include <gtest/gtest.h>

using namespace lintrel;

TEST(FileFilter, ParsesTheProgramsFilterIntoQtFilters)
{
    const auto choices = parseFileFilter(kTextFileFilter);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].name, "Text files(*.txt)");
    EXPECT_EQ(choices[0].mask, "*.txt");
    EXPECT_EQ(qtNameFilter(choices[0]), "Text files (*.txt)");
    EXPECT_EQ(qtNameFilter(choices[1]), "All files (*)");
    EXPECT_TRUE(parseFileFilter("").empty());
    EXPECT_EQ(parseFileFilter("A|*.a|B").size(), 1u);
}

TEST(FileFilter, SaveExtensionRule)
{
    const struct
    {
        const char *path, *mask, *expected;
    } rows[] = {
        {"/d/letter", "*.txt", "/d/letter.txt"},
        {"/d/letter.TXT", "*.txt", "/d/letter.TXT"},
        {"/d/letter.doc", "*.txt", "/d/letter.doc.txt"},
        {"/d/letter", "*.*", "/d/letter"},
        {"/d/letter.doc", "*.*", "/d/letter.doc"},
        {"/my.dir/letter", "*.txt", "/my.dir/letter.txt"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(applySaveExtension(r.path, r.mask), r.expected) << r.path << " " << r.mask;
}
