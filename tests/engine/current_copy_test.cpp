// The current copy: the whole page (or none in mode zero), never written over
// a file of the program or the user.
#include "engine/current_copy.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "engine_fixture.h"

namespace qm::test {
namespace {

using CurrentCopy = DiaryFolder;

// A stored name that is not a plain name of the diary folder, or names a file
// of the program or of the user, makes no copy: the entry still lands, the
// user is told, and the file the name points at is left as it was.
TEST_F(CurrentCopy, AStoredBadNameIsIgnoredWithAMessage) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/victim.txt", "victim");
    const std::pair<std::string, std::string> rows[] = {
        {"../outside/victim.txt", dir_ / "outside/victim.txt"},
        {"log.html", Web("log.html")},
        {"original.html", Web("original.html")},
        {"qmsys.INI", Web("qmsys.INI")},
    };
    for (const auto& [name, target] : rows) {
        SetKey("CURRENTNAME", name);
        const bool existed = fs::exists(target);
        const std::string bytes = fs::is_regular_file(target) ? ReadBytes(target) : "";
        host_.messages.clear();
        ASSERT_EQ(Generate("entry<" + name + ">"), GenerateResult::Written) << name;
        EXPECT_NE(Page().find("entry<" + name + ">"), std::string::npos) << name;
        EXPECT_TRUE(ShownHas("コピーは作りませんでした：" + name + "\r\n")) << name << Shown();
        EXPECT_EQ(fs::exists(target), existed) << name;
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(ReadBytes(target), bytes) << name;
        }
    }
}

TEST_F(CurrentCopy, TheProgramFolderKeepsItsOwnFilesWhenPagesLiveThere) {
    WriteBytes(dir_ / "original.html", kFolderPrototype);
    SetKey("ORIGINAL", dir_ / "original.html");
    for (const char* name : {"QMsys.ini", "diary.ini", "temp.tmp"}) {
        SetKey("CURRENTNAME", name);
        ASSERT_EQ(Generate(), GenerateResult::Written) << name;
    }
    for (const char* name : {"QMsys.ini", "diary.ini", "temp.tmp"})
        EXPECT_EQ(ReadBytes(dir_ / name).find("<html>"), std::string::npos) << name;
}

TEST_F(CurrentCopy, ALinkAtTheCopysNameIsFollowedOnlyInsideTheFolder) {
    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/victim.txt", "victim");
    fs::create_symlink("../outside/victim.txt", Web("diary-current.html"));
    ASSERT_EQ(Generate("one"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(dir_ / "outside/victim.txt"), "victim");
    EXPECT_TRUE(ShownHas("日記のフォルダの外のファイルを指しています。"));

    fs::remove(Web("diary-current.html"));
    fs::create_symlink("log.html", Web("diary-current.html"));
    const std::string log = Page("log.html");
    ASSERT_EQ(Generate("two"), GenerateResult::Written);
    EXPECT_EQ(Page("log.html"), log);
}

TEST_F(CurrentCopy, IsTheWholePageNoneInModeZeroAndAWriteFailureIsReported) {
    fs::create_directory(Web("diary-current.html"));
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(host_.messages.back(), "最新コピーを書き込めませんでした。\r\n" +
                                         Web("diary-current.html") + ": " + std::strerror(EISDIR) +
                                         "|コピー作れないよ？");
    fs::remove(Web("diary-current.html"));
    SetKey("EDIT", "0");
    ASSERT_EQ(Generate("third"), GenerateResult::Written);
    EXPECT_NE(Page("original.html").find("<h3>third</h3>"), std::string::npos);
    EXPECT_FALSE(FileExists(Web("diary-current.html")));
}

}  // namespace
}  // namespace qm::test
