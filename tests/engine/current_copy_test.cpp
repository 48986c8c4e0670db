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

// A name that is not a plain name of the diary folder, or names a file of the
// program (in any letter case, also when the pages live beside the program)
// or of the user, is refused. A stored one makes no copy: the entry still
// lands, the user is told, and the file the name points at is left as it was.
TEST_F(CurrentCopy, AStoredBadNameIsIgnoredWithAMessage) {
    using V = CurrentNameVerdict;
    ASSERT_EQ(Generate(), GenerateResult::Written);  // the set's paths are loaded
    const std::pair<const char*, V> rows[] = {
        {"../outside/victim.txt", V::BadName},
        {"log.html", V::UserFile},
        {"original.html", V::UserFile},
        {"diary03-Feb.html", V::UserFile},
        {"diary.ini", V::ProgramFile},
        {"qmdraft.TXT", V::ProgramFile},
        {"now.html", V::Usable},
    };
    for (const auto& [name, verdict] : rows)
        EXPECT_EQ(CheckCurrentName(config_, name).verdict, verdict) << name;

    fs::create_directory(dir_ / "outside");
    WriteBytes(dir_ / "outside/victim.txt", "victim");
    SetKey("CURRENTNAME", "../outside/victim.txt");
    host_.messages.clear();
    ASSERT_EQ(Generate("entry"), GenerateResult::Written);
    EXPECT_NE(Page().find("<h3>entry</h3>"), std::string::npos);
    EXPECT_TRUE(ShownHas("コピーは作りませんでした：../outside/victim.txt\r\n")) << Shown();
    EXPECT_EQ(ReadBytes(dir_ / "outside/victim.txt"), "victim");
}

TEST_F(CurrentCopy, ALinkAtTheCopysNameIsFollowedOnlyInsideTheFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights a Windows user rarely has";
#endif
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
    EXPECT_FALSE(FileExists(N(Web("diary-current.html"))));
}

}  // namespace
}  // namespace qm::test
