// The INI store's corners that the recorded cases do not reach, and the
// promises a desktop program needs: a failed write leaves the file whole.
#include "settings/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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
    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";

    void Given(std::string_view bytes) { test::WriteBytes(ini, bytes); }
    std::string File() const { return test::ReadBytes(ini); }
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view defaultValue = "", std::size_t capacity = 256) const {
        return ReadProfileString(ini, section, key, defaultValue, capacity);
    }
};

// Runs `write` as a user who may not write to what only root could: as root
// the check runs in a child that has given up its privileges.
bool RunUnprivileged(const std::function<bool()>& write) {
    if (::geteuid() != 0) return write();
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(write() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return true;
    return WEXITSTATUS(status) != 0;
}

TEST_F(ProfileTest, NamesMatchWithoutAsciiCaseAndKeepTheirStoredSpelling) {
    Given("[WindowSize]\r\nWidth=1\r\n");
    EXPECT_EQ(ReadProfileInt(ini, "WINDOWSIZE", "WIDTH", 565), 1);
    EXPECT_EQ(ReadProfileInt(ini, "windowsize", "width", 565), 1);
    ASSERT_TRUE(WriteProfileInt(ini, "WINDOWSIZE", "width", 640));
    ASSERT_TRUE(WriteProfileInt(ini, "windowsize", "Height", 480));
    EXPECT_EQ(File(), "[WindowSize]\r\nWidth=640\r\nHeight=480\r\n");
}

TEST_F(ProfileTest, AbsentKeyGivesTheDefaultButAnEmptyOneGivesEmpty) {
    Given("[FILEPATH]\r\nORIGINAL=\r\n");
    EXPECT_EQ(Read("FILEPATH", "ORIGINAL", "original.html"), "");
    EXPECT_EQ(Read("FILEPATH", "TEMPLET", "templet.txt"), "templet.txt");
    EXPECT_EQ(Read("NOSECTION", "ORIGINAL", "original.html"), "original.html");
    EXPECT_EQ(ReadProfileInt(ini, "FILEPATH", "ORIGINAL", 7), 0);
    EXPECT_EQ(ReadProfileInt(ini, "FILEPATH", "EDIT", 7), 7);
}

TEST_F(ProfileTest, IntegerTooLargeIsHeldAtTheLimit) {
    Given("[S]\r\nbig=99999999999\r\nsmall=-99999999999\r\nq=\"42\"\r\n");
    EXPECT_EQ(ReadProfileInt(ini, "S", "big", 0), INT_MAX);
    EXPECT_EQ(ReadProfileInt(ini, "S", "small", 0), INT_MIN);
    EXPECT_EQ(ReadProfileInt(ini, "S", "q", 0), 42);
}

TEST_F(ProfileTest, MissingFileReadsAsDefaultsAndIsNotCreatedByReading) {
    EXPECT_EQ(Read("FILEPATH", "FTP", "tavmo/tavmo.exe"), "tavmo/tavmo.exe");
    EXPECT_EQ(ReadProfileInt(ini, "WINDOWSIZE", "Height", 499), 499);
    EXPECT_EQ(ReadProfileKeyList(ini, "INI", 1024), std::string(1, '\0'));
    EXPECT_FALSE(fs::exists(ini));
}

TEST_F(ProfileTest, CutNeverSplitsADoubleByteCharacter) {
    // "a" then 表 (0x95 0x5C, whose second byte looks like a backslash), then 日.
    Given("[S]\r\nk=a\x95\x5c\x93\xfa\r\n");
    EXPECT_EQ(Read("S", "k", "", 2), "a");
    EXPECT_EQ(Read("S", "k", "", 3), "a");
    EXPECT_EQ(Read("S", "k", "", 4), "a\x95\x5c");
    EXPECT_EQ(Read("S", "k", "", 5), "a\x95\x5c");
    EXPECT_EQ(Read("S", "k", "", 6), "a\x95\x5c\x93\xfa");
    EXPECT_EQ(Read("S", "k", "", 0), "");
    // The default is cut by the same rule.
    EXPECT_EQ(Read("S", "none", "\x93\xfa\x8bL", 2), "");
}

TEST_F(ProfileTest, KeyListHoldsOnlyWholeNames) {
    Given("[TAG]\r\n0=a\r\n12=b\r\n");
    EXPECT_EQ(ReadProfileKeyList(ini, "TAG", 7), std::string("0\0"
                                                             "12\0\0",
                                                             6));
    EXPECT_EQ(ReadProfileKeyList(ini, "TAG", 6), std::string("0\0"
                                                             "12\0\0",
                                                             6));
    EXPECT_EQ(ReadProfileKeyList(ini, "TAG", 5), std::string("0\0\0", 3));
    EXPECT_EQ(ReadProfileKeyList(ini, "tag", 1), std::string(1, '\0'));
}

TEST_F(ProfileTest, LfOnlyFileIsReadAndKeepsItsLinesWhenWritten) {
    Given("[S]\na=1\nb=2\n[T]\nc=3\n");
    EXPECT_EQ(Read("S", "b"), "2");
    EXPECT_EQ(Read("T", "c"), "3");
    ASSERT_TRUE(WriteProfileString(ini, "S", "new", "x"));
    ASSERT_TRUE(WriteProfileString(ini, "T", "c", "4"));
    EXPECT_EQ(File(), "[S]\na=1\nb=2\nnew=x\r\n[T]\nc=4\n");
}

TEST_F(ProfileTest, FirstWriteCreatesTheFileWithCrLfLines) {
    ASSERT_TRUE(WriteProfileFlag(ini, "STATE", "UP", true));
    ASSERT_TRUE(WriteProfileInt(ini, "STATE", "CURRENT", -3));
    EXPECT_EQ(File(), "[STATE]\r\nUP=1\r\nCURRENT=-3\r\n");
    EXPECT_EQ(ReadProfileInt(ini, "STATE", "CURRENT", 0), -3);
}

TEST_F(ProfileTest, WriteIntoAMissingFolderFails) {
    EXPECT_FALSE(WriteProfileString(dir / "no-such-folder/set.ini", "FILEPATH", "QUILL", "x"));
}

TEST_F(ProfileTest, RemovingAKeyDropsOnlyItsLine) {
    Given("[TAG]\r\n0=a\r\n1=b\r\n[TAG_PREFIX]\r\n1=p\r\n");
    ASSERT_TRUE(WriteProfileString(ini, "tag", "1", std::nullopt));
    EXPECT_EQ(File(), "[TAG]\r\n0=a\r\n[TAG_PREFIX]\r\n1=p\r\n");
    EXPECT_EQ(Read("TAG", "1", "gone"), "gone");
    // Removing what is not there changes nothing and creates nothing.
    ASSERT_TRUE(WriteProfileString(ini, "TAG", "9", std::nullopt));
    EXPECT_EQ(File(), "[TAG]\r\n0=a\r\n[TAG_PREFIX]\r\n1=p\r\n");
    const std::string other = dir / "other.ini";
    ASSERT_TRUE(WriteProfileString(other, "TAG", "0", std::nullopt));
    EXPECT_FALSE(fs::exists(other));
}

TEST_F(ProfileTest, NewSectionGoesToTheEndAndNewKeyBeforeBlankSeparators) {
    Given("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WriteProfileString(ini, "A", "z", "3"));
    ASSERT_TRUE(WriteProfileString(ini, "LOGSETTING", "TITLE", "t"));
    EXPECT_EQ(File(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[LOGSETTING]\r\nTITLE=t\r\n");
}

TEST_F(ProfileTest, FileWithoutFinalLineEndGetsOneBeforeAnythingIsAdded) {
    Given("[S]\r\na=1");
    ASSERT_TRUE(WriteProfileString(ini, "T", "b", "2"));
    EXPECT_EQ(File(), "[S]\r\na=1\r\n[T]\r\nb=2\r\n");

    Given("[S]\r\na=1");
    ASSERT_TRUE(WriteProfileString(ini, "S", "a", "5"));
    EXPECT_EQ(File(), "[S]\r\na=5\r\n");
}

TEST_F(ProfileTest, ValuesThatReadingWouldAlterAreStoredSoTheyReadBackAsWritten) {
    for (std::string_view value : {" <b> ", "\t", "\"q\"", "'s'", "\"\"", "\"half", "a=b"}) {
        ASSERT_TRUE(WriteProfileString(ini, "TAG_SUFFIX", "0", value));
        EXPECT_EQ(Read("TAG_SUFFIX", "0"), value) << "value [" << value << "]";
    }
    ASSERT_TRUE(WriteProfileString(ini, "TAG_SUFFIX", "0", "plain"));
    EXPECT_EQ(File(), "[TAG_SUFFIX]\r\n0=plain\r\n");
}

TEST_F(ProfileTest, LineBreaksCannotForgeKeysAndLeaveTheFileAlone) {
    Given("[S]\r\na=1\r\n");
    EXPECT_FALSE(WriteProfileString(ini, "S", "a", "2\r\n[T]\r\nb=3"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "a", std::string_view("x\0y", 3)));
    EXPECT_FALSE(WriteProfileString(ini, "S", "k=v", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "S]", "k", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "", "k", "1"));
    EXPECT_FALSE(WriteProfileString(ini, "S", "", "1"));
    EXPECT_EQ(File(), "[S]\r\na=1\r\n");
}

TEST_F(ProfileTest, BatchOfWritesIsAllOrNothing) {
    Given("[S]\r\na=1\r\n");
    std::vector<ProfileEdit> edits{{"S", "a", "2"}, {"S", "b", "bad\nline"}};
    EXPECT_FALSE(WriteProfileStrings(ini, edits));
    EXPECT_EQ(File(), "[S]\r\na=1\r\n");

    edits = {{"S", "a", "2"}, {"T", "c", "3"}, {"S", "a", std::nullopt}};
    ASSERT_TRUE(WriteProfileStrings(ini, edits));
    EXPECT_EQ(File(), "[S]\r\n[T]\r\nc=3\r\n");
}

TEST_F(ProfileTest, WriteKeepsTheFilePermissions) {
    Given("[S]\r\na=1\r\n");
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteProfileString(ini, "S", "a", "2"));
    EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ProfileTest, UnwritableFolderFailsAndLeavesTheOldFileWhole) {
    const std::string before = "[STATE]\r\nUP=1\r\nCURRENT=2\r\n";
    Given(before);
    fs::permissions(dir.dir(), fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    const std::string path = ini;
    EXPECT_FALSE(RunUnprivileged([&] { return WriteProfileFlag(path, "STATE", "UP", false); }));
    EXPECT_EQ(File(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST_F(ProfileTest, UnreadableFileIsNeverReplacedByANewOne) {
    const std::string before = "[INI]\r\n0=diary\r\n";
    Given(before);
    fs::permissions(dir.dir(), fs::perms::all);
    fs::permissions(ini, fs::perms::none);
    const std::string path = ini;
    EXPECT_FALSE(RunUnprivileged([&] { return WriteProfileString(path, "INI", "1", "x"); }));
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(File(), before);
}

}  // namespace
}  // namespace qm
