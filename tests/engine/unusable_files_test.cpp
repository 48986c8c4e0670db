// What the generate flow does with settings and files it must not use: a set
// name that is no plain file name, a settings file it cannot read, a FIFO or a
// device where a file should be, a page too large to read, and a program
// folder another run is writing in. In every case nothing is written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>

#include "diary_folder.h"
#include "engine/program_folder_lock.h"
#include "platform/files.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class UnusableFiles : public DiaryFolder {
  protected:
    // Every file below the folder with its content, to show nothing changed;
    // the lock file is the program's own and always there once used.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (auto& e : fs::recursive_directory_iterator(dir_.dir())) {
            if (e.path().filename() == "QMgenerate.lock") continue;
            files[e.path().string()] = e.is_regular_file() ? ReadBytes(e.path().string()) : "";
        }
        return files;
    }
    void MakeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }
};

TEST_F(UnusableFiles, ASetNameThatIsNoPlainFileNameIsNeverUsedAsOne) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/evil.ini",
               "[FILEPATH]\r\nORIGINAL=" + Web("original.html") + "\r\n");
    for (const char* name : {"../outside/evil", "QMsys", "", "..", "a\\b"}) {
        WriteBytes(dir_ / "QMsys.ini", std::string("[INI]\r\n0=") + name + "\r\n");
        const auto before = Snapshot();
        host_.messages.clear();
        EXPECT_EQ(Generate(), GenerateResult::Failed) << name;
        EXPECT_EQ(Snapshot(), before) << name;
        ASSERT_EQ(host_.messages.size(), 1u) << name;
        EXPECT_EQ(host_.messages[0].find(
                      "この設定セットの名前はファイル名に使えないので、このセットは使えません：" +
                      std::string(name) + "\r\n"),
                  0u)
            << host_.messages[0];
        EXPECT_TRUE(config_.configIniPath.empty() && config_.prototypePath.empty()) << name;
    }
}

TEST_F(UnusableFiles, TheWindowListsABadSetAsItIsAndStaysOpen) {
    WriteBytes(dir_ / "QMsys.ini", "[STATE]\r\nCURRENT=1\r\n[INI]\r\n0=diary\r\n1=../evil\r\n");
    SystemState state;
    EXPECT_TRUE(LoadConfiguration(config_, run_, state, host_));
    EXPECT_EQ(state.setNames, (std::vector<std::string>{"diary", "../evil"}));
    EXPECT_NE(Shown().find("「/」や「\\」が入っていて"), std::string::npos) << Shown();
    EXPECT_TRUE(config_.configIniPath.empty());
    EXPECT_FALSE(fs::exists(Web("diary03-Feb.html"))) << "no page is made for an unusable set";
}

TEST_F(UnusableFiles, ASetFileThatCannotBeReadIsAFailureNotTheDefaults) {
    fs::remove(dir_ / "diary.ini");
    const auto check = [&](const char* what) {
        const auto before = Snapshot();
        host_.messages.clear();
        EXPECT_EQ(Generate(), GenerateResult::Failed) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        ASSERT_EQ(host_.messages.size(), 1u) << what;
        EXPECT_EQ(
            host_.messages[0].find("設定ファイルが読めません。\r\n" + (dir_ / "diary.ini") + ": "),
            0u)
            << host_.messages[0];
    };
    fs::create_directory(dir_ / "diary.ini");
    check("a folder");
    fs::remove(dir_ / "diary.ini");
    MakeFifo(dir_ / "diary.ini");
    check("a FIFO");
    EXPECT_FALSE(fs::exists(dir_ / "original.html"));
}

TEST_F(UnusableFiles, FifosAndDevicesGiveErrorsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    const auto fails = [&](const char* what, const std::string& expected) {
        const auto before = Snapshot();
        host_.messages.clear();
        EXPECT_EQ(Generate(), GenerateResult::Failed) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        EXPECT_NE(Shown().find(expected), std::string::npos) << what << "\n" << Shown();
    };
    WriteBytes(Web("diary03-Feb.html"), kFolderPrototype);
    SetKey("QUILL", Web("diary03-Feb.html"));  // as the selection records it
    // The template: a FIFO, then the device that never ends.
    fs::remove(dir_ / "templet.txt");
    MakeFifo(dir_ / "templet.txt");
    fails("FIFO template",
          "テンプレート開けない\r\n" + (dir_ / "templet.txt") + ": not a regular file");
    SetKey("TEMPLET", "/dev/zero");
    fails("endless template", "テンプレート開けない\r\n/dev/zero: not a regular file");
    // The page that does not roll over, the prototype itself.
    SetKey("TEMPLET", dir_ / "page-template.txt");
    WriteBytes(dir_ / "page-template.txt", "*!");
    SetKey("EDIT", "0");
    SetKey("QUILL", Web("original.html"));
    fs::remove(Web("original.html"));
    MakeFifo(Web("original.html"));
    fails("FIFO page", "日記の原型の設定が変だよ。");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(UnusableFiles, AFifoPrototypeIsNotWaitedFor) {
    fs::remove(Web("original.html"));
    MakeFifo(Web("original.html"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(Page().find("<h3>"), std::string::npos);
}

TEST_F(UnusableFiles, APageOverTheReadLimitIsRefusedUnread) {
    WriteBytes(Web("diary03-Feb.html"), kFolderPrototype);
    ASSERT_EQ(::truncate(Web("diary03-Feb.html").c_str(), static_cast<off_t>(kMaxReadBytes + 1)),
              0);
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(fs::file_size(Web("diary03-Feb.html")), kMaxReadBytes + 1);
    EXPECT_NE(Shown().find("日記ファイル開けない\r\n" + Web("diary03-Feb.html") + ": " +
                           std::strerror(EFBIG)),
              std::string::npos)
        << Shown();
}

TEST_F(UnusableFiles, AnotherRunsLockIsWaitedForThenReported) {
    // Another process's hold: its own open file description of the lock file.
    int other = ::open((dir_ / "QMgenerate.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_FALSE(LockProgramFolder(config_, host_, 50ms));
    EXPECT_EQ(
        Shown(),
        "ほかで日記を書き込んでいる最中です。\r\n終わってからもう一度どうぞ。|書き込み中だよ\n");
    // The whole generate giving up, with its exit status, is the command
    // line's test; here the lock is let go and the next run writes.
    ::close(other);
    EXPECT_EQ(Generate("after"), GenerateResult::Written);
    EXPECT_NE(Page().find("<h3>after</h3>"), std::string::npos);
}

TEST_F(UnusableFiles, ALockFileThatCannotBeMadeSaysWhy) {
    fs::create_directory(dir_ / "QMgenerate.lock");
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_NE(Shown().find("順番待ちのためのファイルを作れません。\r\n" +
                           (dir_ / "QMgenerate.lock") + ": " + std::strerror(EISDIR)),
              std::string::npos)
        << Shown();
    EXPECT_FALSE(fs::exists(Web("diary03-Feb.html")));
}

}  // namespace
}  // namespace qm::test
