// Numbered lists: the set list and the three parallel tag lists.
#include "settings/numbered_list.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

class NumberedListTest : public ::testing::Test {
  protected:
    void Given(std::string_view bytes) { test::WriteBytes(ini, bytes); }
    std::string File() const { return test::ReadBytes(ini); }

    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";
};

TEST_F(NumberedListTest, CountIsTheNumberOfKeysThatFitTheKeyList) {
    EXPECT_EQ(CountListEntries(ini, "INI"), 0);
    Given("[INI]\r\n0=diary\r\n2=other\r\n[TAG]\r\n");
    EXPECT_EQ(CountListEntries(ini, "INI"), 2);
    EXPECT_EQ(CountListEntries(ini, "TAG"), 0);
    EXPECT_EQ(ReadListEntry(ini, "INI", 1, 256), "");
    std::string many = "[INI]\r\n";
    for (int i = 0; i < 300; ++i) many += std::to_string(i) + "=v\r\n";
    Given(many);
    EXPECT_EQ(CountListEntries(ini, "INI"), 283);
}

TEST_F(NumberedListTest, AppendAndRemovalShiftLaterEntriesDown) {
    const std::string longName(600, 'x');  // moved whole
    for (const std::string& name :
         {std::string("A"), std::string("B"), longName, std::string("D")}) {
        ASSERT_TRUE(AppendListEntry(ini, "INI", name));
    }
    ASSERT_TRUE(WriteProfileInt(ini, "STATE", "CURRENT", 2));
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 1));
    EXPECT_EQ(File(), "[INI]\r\n0=A\r\n1=" + longName + "\r\n2=D\r\n[STATE]\r\nCURRENT=2\r\n");
    EXPECT_FALSE(RemoveListEntry(ini, "INI", 3));
    EXPECT_FALSE(RemoveListEntry(ini, "INI", -1));
    EXPECT_FALSE(RemoveListEntry(ini, "EMPTY", 0));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(RemoveListEntry(ini, "INI", 0));
    EXPECT_EQ(File(), "[INI]\r\n[STATE]\r\nCURRENT=2\r\n");
}

TEST_F(NumberedListTest, EmptyTagListIsSeededOnceWithTheRuleEntry) {
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(File(), "[TAG]\r\n0=<HR>\r\n[TAG_PREFIX]\r\n0=<HR>\r\n[TAG_SUFFIX]\r\n0=\r\n");
    TagEntry seeded = ReadTagEntry(ini, 0, 128);
    EXPECT_EQ(seeded.name + "|" + seeded.prefix + "|" + seeded.suffix, "<HR>|<HR>|");
    const std::string own = "[TAG]\r\n0=b\r\n[TAG_PREFIX]\r\n0=<b>\r\n[TAG_SUFFIX]\r\n0=</b>\r\n";
    Given(own);
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(File(), own);
}

TEST_F(NumberedListTest, TagRemovalMovesTheThreeListsInStep) {
    ASSERT_TRUE(WriteTagEntry(ini, 0, {"hr", "<HR>", ""}));
    ASSERT_TRUE(WriteTagEntry(ini, 1, {std::string(200, 'n'), "<b>", "</b>"}));
    ASSERT_TRUE(WriteTagEntry(ini, 2, {"em", "<em>", "</em>"}));
    EXPECT_EQ(ReadTagEntry(ini, 1, 128).name, std::string(127, 'n'));  // the caller's capacity
    ASSERT_TRUE(RemoveTagEntry(ini, 0));
    EXPECT_EQ(CountTagEntries(ini), 2);
    EXPECT_EQ(File(), "[TAG]\r\n0=" + std::string(200, 'n') +
                          "\r\n1=em\r\n[TAG_PREFIX]\r\n0=<b>\r\n1=<em>\r\n"
                          "[TAG_SUFFIX]\r\n0=</b>\r\n1=</em>\r\n");
    EXPECT_FALSE(RemoveTagEntry(ini, 2));
}

}  // namespace
}  // namespace qm
