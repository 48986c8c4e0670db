// The INI store's promises beyond the recorded cases: whole characters, values
// that survive a round trip, and a failed write that leaves the file whole.
#include "settings/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

TEST(Profile, CapacityNeverCutsADoubleByteCharacter) {
    test::TempDir dir;
    test::WriteBytes(dir / "s.ini", "[S]\r\nk=a\x95\x5c\x93\xfa\r\n");  // a表日; 表 ends in '\'
    for (auto [capacity, expected] : {std::pair<std::size_t, const char*>{3, "a"},
                                      {4, "a\x95\x5c"},
                                      {6, "a\x95\x5c\x93\xfa"}}) {
        EXPECT_EQ(ReadProfileString(dir / "s.ini", "S", "k", "", capacity), expected) << capacity;
    }
}

TEST(Profile, ValuesReadBackAsWrittenAndLineBreaksCannotForgeKeys) {
    test::TempDir dir;
    const std::string ini = dir / "s.ini";
    for (std::string_view value : {" <b> ", "\"q\"", "'s'", "a=b"}) {
        ASSERT_TRUE(WriteProfileString(ini, "S", "0", value));
        EXPECT_EQ(ReadProfileString(ini, "S", "0", "", 256), value);
    }
    ASSERT_TRUE(WriteProfileString(ini, "S", "0", "plain"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "0", "2\r\n[T]\r\nb=3"));
    EXPECT_FALSE(WriteProfileStrings(ini, {{"S", "a", "2"}, {"S", "b", "bad\nline"}}));
    EXPECT_EQ(test::ReadBytes(ini), "[S]\r\n0=plain\r\n");
}

TEST(Profile, FailedWriteLeavesTheFileWholeAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";
    test::WriteBytes(ini, "[STATE]\r\nUP=1\r\n");
    {
        test::FileSizeLimit limit(20);  // the disk fills up part-way
        EXPECT_FALSE(WriteProfileString(ini, "STATE", "NAME", std::string(100, 'n')));
    }
    EXPECT_EQ(test::ReadBytes(ini), "[STATE]\r\nUP=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), {}), 1);
}

}  // namespace
}  // namespace qm
