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

TEST(Profile, NameEndingInTheFirstByteOfACharacterIsRefused) {
    test::TempDir dir;
    const std::string ini = dir / "s.ini";
    // "[A\x83]" would read as "[A" and the character 0x83 0x5D, with no ']'.
    EXPECT_FALSE(WriteProfileString(ini, "A\x83", "k", "v"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "k\x83", "v"));
    EXPECT_FALSE(fs::exists(ini));
    // A whole character whose second byte is ']' is a name like any other.
    ASSERT_TRUE(WriteProfileString(ini, "\x83]", "\x83]", "v"));
    EXPECT_EQ(ReadProfileString(ini, "\x83]", "\x83]", "", 16), "v");
}

// ASCII text as UTF-16LE, for building files.
std::string Wide(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += {c, '\0'};
    return out;
}

TEST(Profile, Utf16FileKeepsWhatCodePage932CannotHold) {
    test::TempDir dir;
    const std::string ini = dir / "s.ini";
    const std::string mark = "\xFF\xFE";
    const std::string acute("\xE9\0", 2);  // é, not in code page 932
    // No line end after the last line, and a stray odd byte at the end.
    const std::string head = mark + Wide("[S]\r\nx=") + acute;
    test::WriteBytes(ini, head + Wide("\r\nk=1") + std::string("Z"));
    EXPECT_EQ(ReadProfileString(ini, "S", "x", "", 16), "?");

    ASSERT_TRUE(WriteProfileString(ini, "S", "k", "2"));
    ASSERT_TRUE(WriteProfileString(ini, "S", "n", "\x93\xfa"));  // 日
    EXPECT_EQ(test::ReadBytes(ini), head + Wide("\r\nk=2\r\nn=") + std::string("\xE5\x65") +
                                        Wide("\r\n") + std::string("Z"));

    // Bytes that are no code page 932 character cannot go into the file.
    const std::string before = test::ReadBytes(ini);
    EXPECT_FALSE(WriteProfileString(ini, "S", "bad", "\x85\x40"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "n", "a\x83"));
    EXPECT_EQ(test::ReadBytes(ini), before);

    // 0xED 0x40 and 0xFA 0x5C are one character; UTF-16 keeps only one of them.
    ASSERT_TRUE(WriteProfileString(ini, "S", "\xED\x40", "same"));
    EXPECT_EQ(ReadProfileString(ini, "S", "\xED\x40", "", 16), "same");
    EXPECT_EQ(ReadProfileString(ini, "S", "\xFA\x5C", "", 16), "same");
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
