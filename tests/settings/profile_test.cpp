// The INI store's corners that the recorded cases do not reach, and the
// promises a desktop program needs: a failed write leaves the file whole.
#include "settings/profile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
  protected:
    void Given(std::string_view bytes) { test::WriteBytes(ini, bytes); }
    std::string File() const { return test::ReadBytes(ini); }
    std::string Read(std::string_view key, std::size_t capacity = 256) const {
        return ReadProfileString(ini, "S", key, "(default)", capacity);
    }
    // Runs `write` as a user who may not write to what only root could: as
    // root the write runs in a child that has given up its privileges.
    static bool Unprivileged(const std::function<bool()>& write) {
        if (::geteuid() != 0) return write();
        pid_t child = ::fork();
        if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && write() ? 1 : 0);
        int status = 0;
        return child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
               WEXITSTATUS(status) != 0;
    }

    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";
};

TEST_F(ProfileTest, ReadingEmptyAbsentLargeAndDoubleByteValues) {
    // "a" then 表 (0x95 0x5C, whose second byte looks like a backslash), then 日.
    Given(
        "[S]\r\nempty=\r\nbig=99999999999\r\nsmall=-99999999999\r\nq=\"42\"\r\nk="
        "a\x95\x5c\x93\xfa\r\n");
    EXPECT_EQ(ReadProfileInt(ini, "S", "empty", 7), 0);
    EXPECT_EQ(ReadProfileInt(ini, "S", "absent", 7), 7);
    EXPECT_EQ(ReadProfileInt(ini, "S", "big", 0), INT_MAX);
    EXPECT_EQ(ReadProfileInt(ini, "S", "small", 0), INT_MIN);
    EXPECT_EQ(ReadProfileInt(ini, "S", "q", 0), 42);
    const std::pair<std::size_t, const char*> cuts[] = {
        {0, ""}, {2, "a"}, {3, "a"}, {4, "a\x95\x5c"}, {5, "a\x95\x5c"}, {6, "a\x95\x5c\x93\xfa"}};
    for (auto [capacity, expected] : cuts) EXPECT_EQ(Read("k", capacity), expected) << capacity;
    EXPECT_EQ(ReadProfileString(ini, "S", "none", "\x93\xfa\x8bL", 2), "");
    Given("[TAG]\r\n0=a\r\n12=b\r\n");  // the key list holds whole names only
    EXPECT_EQ(ReadProfileKeyList(ini, "TAG", 6), std::string("0\00012\0\0", 6));
    EXPECT_EQ(ReadProfileKeyList(ini, "TAG", 5), std::string("0\0\0", 3));
    EXPECT_EQ(ReadProfileKeyList(ini, "tag", 1), std::string(1, '\0'));
}

TEST_F(ProfileTest, WritesKeepTheFilesLinesAndSpelling) {
    Given("[S]\na=1\n\n[T]\nc=3\n");  // LF lines and a blank separator
    ASSERT_TRUE(WriteProfileString(ini, "s", "new", "x"));
    ASSERT_TRUE(WriteProfileInt(ini, "T", "C", 4));
    ASSERT_TRUE(WriteProfileFlag(ini, "LOGSETTING", "UP", true));
    EXPECT_EQ(File(), "[S]\na=1\nnew=x\r\n\n[T]\nc=4\n[LOGSETTING]\r\nUP=1\r\n");
    EXPECT_FALSE(WriteProfileString(dir / "no-such-folder/set.ini", "S", "k", "x"));
}

TEST_F(ProfileTest, RemovingWhatIsNotThereChangesAndCreatesNothing) {
    Given("[TAG]\r\n0=a\r\n");
    ASSERT_TRUE(WriteProfileString(ini, "TAG", "9", std::nullopt));
    EXPECT_EQ(File(), "[TAG]\r\n0=a\r\n");
    ASSERT_TRUE(WriteProfileString(dir / "other.ini", "TAG", "0", std::nullopt));
    EXPECT_FALSE(fs::exists(dir / "other.ini"));
}

TEST_F(ProfileTest, ValuesThatReadingWouldAlterReadBackAsWritten) {
    for (std::string_view value : {" <b> ", "\t", "\"q\"", "'s'", "\"\"", "\"half", "a=b"}) {
        ASSERT_TRUE(WriteProfileString(ini, "S", "0", value));
        EXPECT_EQ(Read("0"), value);
    }
    ASSERT_TRUE(WriteProfileString(ini, "S", "0", "plain"));
    EXPECT_EQ(File(), "[S]\r\n0=plain\r\n");
}

TEST_F(ProfileTest, LineBreaksCannotForgeKeysAndABadBatchWritesNothing) {
    Given("[S]\r\na=1\r\n");
    EXPECT_FALSE(WriteProfileString(ini, "S", "a", "2\r\n[T]\r\nb=3"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "a", std::string_view("x\0y", 3)));
    EXPECT_FALSE(WriteProfileString(ini, "S", "k=v", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "S]", "k", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "", "k", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "", "1"));
    EXPECT_FALSE(WriteProfileStrings(ini, {{"S", "a", "2"}, {"S", "b", "bad\nline"}}));
    EXPECT_EQ(File(), "[S]\r\na=1\r\n");
    ASSERT_TRUE(
        WriteProfileStrings(ini, {{"S", "a", "2"}, {"T", "c", "3"}, {"S", "a", std::nullopt}}));
    EXPECT_EQ(File(), "[S]\r\n[T]\r\nc=3\r\n");
}

TEST_F(ProfileTest, WriteKeepsPermissionsAndAFailedOneLeavesTheFileWhole) {
    Given("[STATE]\r\nUP=1\r\n");
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteProfileString(ini, "STATE", "UP", "2"));
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string before = File();
    fs::permissions(dir.dir(), fs::perms::all);

    fs::permissions(ini, fs::perms::none);  // unreadable: never replaced by a new file
    EXPECT_FALSE(Unprivileged([&] { return WriteProfileString(ini, "INI", "1", "x"); }));
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    fs::permissions(dir.dir(), fs::perms::all & ~fs::perms::owner_write & ~fs::perms::group_write &
                                   ~fs::perms::others_write);
    EXPECT_FALSE(Unprivileged([&] { return WriteProfileFlag(ini, "STATE", "UP", false); }));
    fs::permissions(dir.dir(), fs::perms::owner_all);
    EXPECT_EQ(File(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

}  // namespace
}  // namespace qm
