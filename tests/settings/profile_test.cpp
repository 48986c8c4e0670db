// The INI store's promises beyond the recorded cases: whole characters, values
// that survive a round trip, and a failed write that leaves the file whole.
#include "settings/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/numbered_list.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

class Profile : public ::testing::Test {
  protected:
    test::TempDir dir_;
    const std::string ini_ = dir_ / "s.ini";
};

TEST_F(Profile, ValuesAreCutAtWholeCharactersAndLineBreaksOrCutCharactersAreRefused) {
    ASSERT_TRUE(WriteProfileString(ini_, "S", "k", "a\x95\x5c\x93\xfa"));  // a表日; 表 ends in '\'
    EXPECT_EQ(ReadProfileString(ini_, "S", "k", "", 3), "a");
    EXPECT_EQ(ReadProfileString(ini_, "S", "k", "", 4), "a\x95\x5c");
    const std::string before = test::ReadBytes(ini_);
    EXPECT_FALSE(WriteProfileString(ini_, "S", "0", "2\r\n[T]\r\nb=3"));
    EXPECT_FALSE(WriteProfileStrings(ini_, {{"S", "a", "2"}, {"S", "b", "bad\nline"}}));
    // "[A\x83]" would read as "[A" and the character 0x83 0x5D, with no ']'.
    EXPECT_FALSE(WriteProfileString(ini_, "A\x83", "k", "v"));
    EXPECT_FALSE(WriteProfileString(ini_, "S", "k\x83", "v"));
    EXPECT_EQ(test::ReadBytes(ini_), before);
}

// A UTF-16 file: what code page 932 cannot hold reads as '?' and stays, bytes
// that are no character are refused, and the NEC duplicates are one key.
TEST_F(Profile, Utf16FileKeepsWhatCodePage932CannotHold) {
    const std::string before("\xFF\xFE[\0S\0]\0\r\0\n\0x\0=\0\xE9\0\r\0\n\0", 22);
    test::WriteBytes(ini_, before);
    EXPECT_EQ(ReadProfileString(ini_, "S", "x", "", 16), "?");
    EXPECT_FALSE(WriteProfileString(ini_, "S", "bad", "\x85\x40"));
    EXPECT_FALSE(WriteProfileString(ini_, "S", "n", "a\x83"));
    EXPECT_EQ(test::ReadBytes(ini_), before);
    ASSERT_TRUE(WriteProfileString(ini_, "S", "\xED\x40", "same"));
    EXPECT_EQ(ReadProfileString(ini_, "S", "\xFA\x5C", "", 16), "same");
    EXPECT_EQ(test::ReadBytes(ini_).substr(0, 22), before);
}

#ifndef _WIN32
TEST_F(Profile, FailedWriteLeavesTheFileWholeAndNoTemporaryFile) {
    test::WriteBytes(ini_, "[STATE]\r\nUP=1\r\n");
    {
        test::FileSizeLimit limit(20);  // the disk fills up part-way
        EXPECT_FALSE(WriteProfileString(ini_, "STATE", "NAME", std::string(100, 'n')));
    }
    EXPECT_EQ(test::ReadBytes(ini_), "[STATE]\r\nUP=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.dir()), {}), 1);
}
#endif

TEST_F(Profile, ListRemovalShiftsLaterEntriesAndAnEmptyTagListIsSeededOnce) {
    const std::string longName(600, 'x');  // moved whole
    ASSERT_TRUE(
        WriteProfileStrings(ini_, {{"INI", "0", "A"}, {"INI", "1", "B"}, {"INI", "2", longName}}));
    ASSERT_TRUE(WriteProfileInt(ini_, "STATE", "CURRENT", 2));
    ASSERT_TRUE(RemoveListEntry(ini_, "INI", 0));
    EXPECT_FALSE(RemoveListEntry(ini_, "INI", 2));
    EXPECT_EQ(test::ReadBytes(ini_),
              "[INI]\r\n0=B\r\n1=" + longName + "\r\n[STATE]\r\nCURRENT=2\r\n");
    const std::string tags = dir_ / "t.ini";
    EXPECT_EQ(CountTagEntries(tags), 1);
    EXPECT_EQ(CountTagEntries(tags), 1);
    EXPECT_EQ(test::ReadBytes(tags),
              "[TAG]\r\n0=<HR>\r\n[TAG_PREFIX]\r\n0=<HR>\r\n[TAG_SUFFIX]\r\n0=\r\n");
}

}  // namespace
}  // namespace qm
