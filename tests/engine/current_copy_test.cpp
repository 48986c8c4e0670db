#include "engine/current_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "diary_folder.h"
#include "platform/files.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

class CurrentCopy : public DiaryFolder {};

// A stored name that is not a plain name of the diary folder, or names a file
// of the program or of the user, makes no copy: the entry still lands, the
// user is told, and the file the name points at is left as it was.
TEST_F(CurrentCopy, AStoredBadNameIsIgnoredWithAMessage) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/victim.txt", "victim");
    WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*?");
    const std::pair<std::string, std::string> rows[] = {
        {"../outside/victim.txt", dir_ / "outside/victim.txt"},
        {"..", dir_.dir()},
        {"log.html", Web("log.html")},
        {"original.html", Web("original.html")},
        {"QMsys.ini", Web("QMsys.ini")},
        {"qmsys.INI", Web("qmsys.INI")},
        {"diary.ini", Web("diary.ini")},
        {"temp.tmp", Web("temp.tmp")},
        {"QMgenerate.lock", Web("QMgenerate.lock")},
        {"", Web("")},
    };
    int written = 0;
    for (const auto& [name, target] : rows) {
        SetKey("CURRENTNAME", name);
        const std::string before = fs::is_regular_file(target) ? ReadBytes(target) : "";
        const bool existed = fs::exists(target);
        host_.messages.clear();
        ASSERT_EQ(Generate("entry" + std::to_string(++written)), GenerateResult::Written) << name;
        EXPECT_NE(Page().find("entry" + std::to_string(written)), std::string::npos) << name;
        EXPECT_NE(Shown().find("コピーは作りませんでした：" + name + "\r\n"), std::string::npos)
            << name << "\n"
            << Shown();
        EXPECT_EQ(fs::exists(target), existed) << name;
        if (existed && fs::is_regular_file(target)) {
            EXPECT_EQ(ReadBytes(target), before) << name;
        }
    }
}

TEST_F(CurrentCopy, TheProgramFolderKeepsItsOwnFilesWhenPagesLiveThere) {
    // The diary folder is the program folder: QMsys.ini would become HTML.
    WriteBytes(dir_ / "original.html", kFolderPrototype);
    SetKey("ORIGINAL", dir_ / "original.html");
    const std::string system = ReadBytes(dir_ / "QMsys.ini");
    for (const char* name : {"QMsys.ini", "diary.ini", "temp.tmp"}) {
        SetKey("CURRENTNAME", name);
        ASSERT_EQ(Generate(), GenerateResult::Written) << name;
    }
    EXPECT_EQ(ReadBytes(dir_ / "QMsys.ini"), system);
    EXPECT_EQ(ReadBytes(dir_ / "diary.ini").find("<html>"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_ / "temp.tmp").find("<html>"), std::string::npos);
}

TEST_F(CurrentCopy, ALinkAtTheCopysNameIsFollowedOnlyInsideTheFolder) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/victim.txt", "victim");
    fs::create_symlink("../outside/victim.txt", Web("diary-current.html"));
    ASSERT_EQ(Generate("one"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(dir_ / "outside/victim.txt"), "victim");
    EXPECT_NE(Shown().find("日記のフォルダの外のファイルを指しています。"), std::string::npos);

    fs::remove(Web("diary-current.html"));
    fs::create_symlink("log.html", Web("diary-current.html"));
    const std::string log = ReadBytes(Web("log.html"));
    ASSERT_EQ(Generate("two"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(Web("log.html")), log);

    fs::remove(Web("diary-current.html"));
    fs::create_symlink("real-current.html", Web("diary-current.html"));
    ASSERT_EQ(Generate("three"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(Web("real-current.html")), Page());
    EXPECT_TRUE(fs::is_symlink(Web("diary-current.html")));
}

TEST_F(CurrentCopy, ACopyThatCannotBeWrittenIsReportedWithTheFileAndTheReason) {
    fs::create_directory(Web("diary-current.html"));
    ASSERT_EQ(Generate(), GenerateResult::Written);
    const std::string expected = "最新コピーを書き込めませんでした。\r\n" +
                                 Web("diary-current.html") + ": " + std::strerror(EISDIR) +
                                 "|コピー作れないよ？";
    EXPECT_EQ(host_.messages.back(), expected);
}

TEST_F(CurrentCopy, TheRuleNamesItsReason) {
    ReadSetPaths(config_, 0, host_);
    config_.diaryPage = Web("diary03-Feb.html");
    const std::pair<const char*, const char*> rows[] = {
        {"now.html", ""},
        {" now .html", ""},
        {"sub/now.html", "「/」や「\\」が入っていて、別のフォルダを指します。"},
        {"sub\\now.html", "「/」や「\\」が入っていて、別のフォルダを指します。"},
        {"now\t.html", "制御文字（タブや改行など）が入っています。"},
        {"diary03-Feb.html", "日記、日記の原型、ログ、テンプレートのどれかと同じファイルです。"},
        {"Settings.INI",
         "くいるめいかー自身のファイル（QMsys.ini、設定ファイル、temp.tmp）の名前です。"},
    };
    for (const auto& [name, reason] : rows) {
        EXPECT_EQ(CurrentNameReason(CheckCurrentName(config_, name)), reason) << name;
    }
}

}  // namespace
}  // namespace qm::test
