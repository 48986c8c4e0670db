#include "engine/generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "diary_folder.h"
#include "platform/files.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

using Flow = DiaryFolder;

TEST_F(Flow, CurrentCopyIsTheWholePageOrTheNewestEntryAndNoneInModeZero) {
    WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*n\r\n*?");
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), Page());
    SetKey("ALWAYS1", "1");
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"),
              "<html>\r\n" + kMarker +
                  Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n<h3>second</h3>五\r\nb") +
                  "\r\n</html>" + std::string(1, '\0'));
    RemoveFile(Web("diary-current.html"));
    SetKey("EDIT", "0");
    ASSERT_EQ(Generate("third"), GenerateResult::Written);
    EXPECT_NE(Page("original.html").find("<h3>third</h3>"), std::string::npos);
    EXPECT_FALSE(FileExists(Web("diary-current.html")));
}

TEST_F(Flow, ALockedPageOrAFullDiskLeavesThePageWhole) {
    const std::string before = std::string(8192, 'p') + kFolderPrototype;
    WriteBytes(Web("diary03-Feb.html"), before);
    auto failsLeavingThePage = [&](const char* why) {
        EXPECT_EQ(Generate("t"), GenerateResult::Failed) << why;
        EXPECT_EQ(Page(), before) << why;
        EXPECT_FALSE(FileExists(Web("diary-current.html"))) << why;
    };
    {
        auto holder = LockedFile::Open(Web("diary03-Feb.html"), LockedFile::Mode::OpenExisting);
        failsLeavingThePage("locked");
    }
    FileSizeLimit fullDisk(4096);
    failsLeavingThePage("full disk");
}

TEST_F(Flow, PrototypeInAFolderHoldingTen) {
    // 十 is 0x8F 0x5C: its second byte looks like a backslash.
    std::filesystem::create_directory(dir_.dir() + "日記十");
    WriteBytes(dir_.dir() + "日記十/原型十.html", kFolderPrototype);
    SetKey("ORIGINAL", dir_.dir() + Sjis("日記十\\原型十.html"));
    ASSERT_EQ(Generate("t"), GenerateResult::Written);
    EXPECT_NE(ReadBytes(dir_.dir() + "日記十/diary03-Feb.html").find("<h3>t</h3>"),
              std::string::npos);
}

TEST_F(Flow, AStoredSetIndexOutsideTheListFallsBackToTheFirst) {
    WriteBytes(dir_ / "QMsys.ini", "[STATE]\r\nCURRENT=2\r\n[INI]\r\n0=a\r\n1=b\r\n");
    SystemState state;
    LoadConfiguration(config_, run_, state, host_);
    EXPECT_EQ(run_.currentSetIndex, 0);
    EXPECT_EQ(config_.configIniPath, dir_ / "a.ini");
}

}  // namespace
}  // namespace qm::test
