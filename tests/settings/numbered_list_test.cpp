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
    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";

    void Given(std::string_view bytes) { test::WriteBytes(ini, bytes); }
    std::string File() const { return test::ReadBytes(ini); }
};

std::string NumberedSection(std::string_view name, int count) {
    std::string text = "[" + std::string(name) + "]\r\n";
    for (int i = 0; i < count; ++i) text += std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(NumberedListTest, CountIsTheNumberOfKeysWhateverTheirNames) {
    EXPECT_EQ(CountListEntries(ini, "INI"), 0);
    Given("[INI]\r\n0=diary\r\n2=other\r\n[TAG]\r\n");
    EXPECT_EQ(CountListEntries(ini, "INI"), 2);
    EXPECT_EQ(CountListEntries(ini, "TAG"), 0);
    EXPECT_EQ(ReadListEntry(ini, "INI", 0, 256), "diary");
    EXPECT_EQ(ReadListEntry(ini, "INI", 1, 256), "");
}

TEST_F(NumberedListTest, CountStopsAtWhatTheKeyListHolds) {
    Given(NumberedSection("INI", 283));
    EXPECT_EQ(CountListEntries(ini, "INI"), 283);
    Given(NumberedSection("INI", 300));
    EXPECT_EQ(CountListEntries(ini, "INI"), 283);
}

TEST_F(NumberedListTest, AppendWritesTheNextNumber) {
    ASSERT_TRUE(AppendListEntry(ini, "INI", "first"));
    ASSERT_TRUE(AppendListEntry(ini, "INI", "second"));
    EXPECT_EQ(File(), "[INI]\r\n0=first\r\n1=second\r\n");
}

TEST_F(NumberedListTest, RemovalShiftsLaterEntriesDownAndDropsTheLastKey) {
    Given("[INI]\r\n0=A\r\n1=B\r\n2=C\r\n3=D\r\n[STATE]\r\nCURRENT=2\r\n");
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 1));
    EXPECT_EQ(File(), "[INI]\r\n0=A\r\n1=C\r\n2=D\r\n[STATE]\r\nCURRENT=2\r\n");
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 2));
    EXPECT_EQ(File(), "[INI]\r\n0=A\r\n1=C\r\n[STATE]\r\nCURRENT=2\r\n");
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 0));
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 0));
    EXPECT_EQ(CountListEntries(ini, "INI"), 0);
    EXPECT_EQ(File(), "[INI]\r\n[STATE]\r\nCURRENT=2\r\n");
}

TEST_F(NumberedListTest, RemovingAnEntryOutsideTheListChangesNothing) {
    const std::string before = "[INI]\r\n0=A\r\n1=B\r\n";
    Given(before);
    EXPECT_FALSE(RemoveListEntry(ini, "INI", 2));
    EXPECT_FALSE(RemoveListEntry(ini, "INI", -1));
    EXPECT_FALSE(RemoveListEntry(ini, "EMPTY", 0));
    EXPECT_EQ(File(), before);
}

TEST_F(NumberedListTest, ShiftedValuesAreMovedWhole) {
    const std::string longName(600, 'x');
    Given("[INI]\r\n0=A\r\n1=" + longName + "\r\n");
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 0));
    EXPECT_EQ(File(), "[INI]\r\n0=" + longName + "\r\n");
}

TEST_F(NumberedListTest, EmptyTagListIsSeededWithTheRuleEntry) {
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(File(), "[TAG]\r\n0=<HR>\r\n[TAG_PREFIX]\r\n0=<HR>\r\n[TAG_SUFFIX]\r\n0=\r\n");
    TagEntry seeded = ReadTagEntry(ini, 0, 128);
    EXPECT_EQ(seeded.name, "<HR>");
    EXPECT_EQ(seeded.prefix, "<HR>");
    EXPECT_EQ(seeded.suffix, "");
    // The suffix key is present, so a default is not what is read back.
    EXPECT_EQ(ReadProfileString(ini, "TAG_SUFFIX", "0", "absent", 256), "");
    // Counting again does not seed again.
    EXPECT_EQ(CountTagEntries(ini), 1);
}

TEST_F(NumberedListTest, TagListWithEntriesIsNotSeeded) {
    const std::string before =
        "[TAG]\r\n0=b\r\n[TAG_PREFIX]\r\n0=<b>\r\n[TAG_SUFFIX]\r\n0=</b>\r\n";
    Given(before);
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(File(), before);
}

TEST_F(NumberedListTest, TagEntryNameIsCutToTheCallersCapacity) {
    const std::string longName(200, 'n');
    ASSERT_TRUE(WriteTagEntry(ini, 0, {longName, "<p>", "</p>"}));
    EXPECT_EQ(ReadTagEntry(ini, 0, 128).name, std::string(127, 'n'));
    EXPECT_EQ(ReadTagEntry(ini, 0, 256).name, longName);
}

TEST_F(NumberedListTest, TagRemovalMovesTheThreeListsInStep) {
    ASSERT_TRUE(WriteTagEntry(ini, 0, {"hr", "<HR>", ""}));
    ASSERT_TRUE(WriteTagEntry(ini, 1, {"bold", "<b>", "</b>"}));
    ASSERT_TRUE(WriteTagEntry(ini, 2, {"em", "<em>", "</em>"}));
    ASSERT_TRUE(RemoveTagEntry(ini, 0));
    EXPECT_EQ(CountTagEntries(ini), 2);
    EXPECT_EQ(File(),
              "[TAG]\r\n0=bold\r\n1=em\r\n"
              "[TAG_PREFIX]\r\n0=<b>\r\n1=<em>\r\n"
              "[TAG_SUFFIX]\r\n0=</b>\r\n1=</em>\r\n");
    EXPECT_FALSE(RemoveTagEntry(ini, 2));
}

}  // namespace
}  // namespace qm
