// Settings and files the generate flow must not use: a set name that is no
// plain file name, a settings file it cannot read (a FIFO), a lock file it
// cannot make.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "engine_fixture.h"

namespace qm::test {
namespace {

using UnusableFiles = DiaryFolder;

TEST_F(UnusableFiles, ASetNameThatIsNoPlainFileNameIsNeverUsedAsOne) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/evil.ini", "[FILEPATH]\r\nORIGINAL=" + Web("original.html"));
    // Which names are refused is the name rules' to check.
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=../outside/evil\r\n");
    FailsTouchingNothing("a folder", "このセットは使えません：../outside/evil\r\n");
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(config_.configIniPath.empty() && config_.prototypePath.empty());
}

TEST_F(UnusableFiles, TheWindowListsABadSetAsItIsAndStaysOpen) {
    WriteBytes(dir_ / "QMsys.ini", "[STATE]\r\nCURRENT=1\r\n[INI]\r\n0=diary\r\n1=../evil\r\n");
    SystemState state;
    EXPECT_TRUE(LoadConfiguration(config_, run_, state, host_));
    EXPECT_EQ(state.setNames, (std::vector<std::string>{"diary", "../evil"}));
    EXPECT_TRUE(ShownHas("「/」や「\\」が入っていて")) << Shown();
    EXPECT_TRUE(config_.configIniPath.empty());
    EXPECT_FALSE(fs::exists(Web("diary03-Feb.html"))) << "no page is made for an unusable set";
}

TEST_F(UnusableFiles, ASetFileThatCannotBeReadIsAFailureNotTheDefaults) {
    fs::remove(dir_ / "diary.ini");
#ifdef _WIN32
    ASSERT_TRUE(fs::create_directory(dir_ / "diary.ini"));  // no FIFOs there; a folder is no file
#else
    ASSERT_EQ(::mkfifo((dir_ / "diary.ini").c_str(), 0644), 0);
#endif
    FailsTouchingNothing("a FIFO", "設定ファイルが読めません。\r\n" + (dir_ / "diary.ini") + ": ");
}

TEST_F(UnusableFiles, ALockFileThatCannotBeMadeSaysWhy) {
    fs::create_directory(dir_ / "QMgenerate.lock");
    FailsTouchingNothing("lock a folder", "順番待ちのためのファイルを作れません。\r\n" +
                                              (dir_ / "QMgenerate.lock") + ": " +
                                              std::strerror(EISDIR));
}

}  // namespace
}  // namespace qm::test
