// Settings and files the generate flow must not use: a set name that is no
// plain file name, a settings file it cannot read, a FIFO or a device where a
// file should be, a lock file it cannot make.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "diary_folder.h"

namespace qm::test {
namespace {

using namespace std::chrono_literals;
using UnusableFiles = DiaryFolder;

TEST_F(UnusableFiles, ASetNameThatIsNoPlainFileNameIsNeverUsedAsOne) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/evil.ini", "[FILEPATH]\r\nORIGINAL=" + Web("original.html"));
    for (const char* name : {"../outside/evil", "QMsys"}) {
        WriteBytes(dir_ / "QMsys.ini", std::string("[INI]\r\n0=") + name + "\r\n");
        FailsTouchingNothing(name,
                             "この設定セットの名前はファイル名に使えないので、"
                             "このセットは使えません：" +
                                 std::string(name) + "\r\n");
        EXPECT_EQ(host_.messages.size(), 1u) << name;
        EXPECT_TRUE(config_.configIniPath.empty() && config_.prototypePath.empty()) << name;
    }
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
    MakeFifo(dir_ / "diary.ini");
    FailsTouchingNothing("a FIFO", "設定ファイルが読めません。\r\n" + (dir_ / "diary.ini") + ": ");
}

TEST_F(UnusableFiles, FifosAndDevicesGiveErrorsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    MakeFifo(Web("original.html"));  // the prototype of a page that rolls over
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page().find("<h3>"), std::string::npos);

    WriteBytes(Web("diary03-Feb.html"), kFolderPrototype);
    WriteBytes(Web("log.html"), kLogMarker + "<a href =diary03-Feb.html>");
    SetKey("QUILL", Web("diary03-Feb.html"));  // as the selection records it
    MakeFifo(dir_ / "templet.txt");
    FailsTouchingNothing("FIFO template", "テンプレート開けない\r\n" + (dir_ / "templet.txt") +
                                              ": not a regular file");
    // The page that does not roll over, the prototype itself.
    SetKey("TEMPLET", dir_ / "page-template.txt");
    WriteBytes(dir_ / "page-template.txt", "*!");
    SetKey("EDIT", "0");
    SetKey("QUILL", Web("original.html"));
    FailsTouchingNothing("FIFO page", "日記の原型の設定が変だよ。");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(UnusableFiles, ALockFileThatCannotBeMadeSaysWhy) {
    fs::create_directory(dir_ / "QMgenerate.lock");
    FailsTouchingNothing("lock a folder", "順番待ちのためのファイルを作れません。\r\n" +
                                              (dir_ / "QMgenerate.lock") + ": " +
                                              std::strerror(EISDIR));
}

}  // namespace
}  // namespace qm::test
