#include "engine/generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/program_arguments.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

TEST(UploadText, ThePageTheLogTheImagesAndTheCurrentCopyInOrder) {
    ActiveConfig config;
    config.diaryPage = "/web/diary03-Jan.html";
    config.logPath = "/web/log.html";
    config.diaryFolder = "/web/";
    config.currentName = "now.html";
    RunState run;
    AppendImageUpload(run.imageUploadList, "/pics/a.jpg");
    AppendImageUpload(run.imageUploadList, "/pics/b.jpg");
    run.logUpdated = true;
    EXPECT_EQ(UploadParameters(config, run, true),
              "\"/web/diary03-Jan.html\" \"/web/log.html\" \"/pics/a.jpg\" \"/pics/b.jpg\" "
              "\"/web/now.html\"");
}

// A program folder with one set "diary", monthly with a current copy, whose pages live in web/.
class Flow : public ::testing::Test {
  protected:
    Flow() : clock_("2003-02-05 21:05:09") {
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", web_ + "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("EDIT", "1");
        SetKey("CURRENT", "1");
        WriteBytes(web_ + "original.html", kPrototype);
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*n\r\n*?");
        InitConfig(config_, dir_.dir());
    }
    void SetKey(std::string_view key, std::string_view value) {
        ASSERT_TRUE(WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value));
    }
    GenerateResult Generate(std::string title) {
        input_.title = title;
        input_.body = "b";
        return GenerateCommand(config_, run_, input_, host_);
    }
    std::string Page(std::string_view name = "diary03-Feb.html") const {
        return ReadBytes(web_ + std::string(name));
    }

    TempDir dir_;
    FixedClock clock_;
    std::string web_ = dir_ / "web/";
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

TEST_F(Flow, CurrentCopyIsTheWholePageOrTheNewestEntryAndNoneInModeZero) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), Page());
    SetKey("ALWAYS1", "1");
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"),
              "<html>\r\n" + kMarker +
                  Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n<h3>second</h3>五\r\nb") +
                  "\r\n</html>" + std::string(1, '\0'));
    RemoveFile(web_ + "diary-current.html");
    SetKey("EDIT", "0");
    ASSERT_EQ(Generate("third"), GenerateResult::Written);
    EXPECT_NE(Page("original.html").find("<h3>third</h3>"), std::string::npos);
    EXPECT_FALSE(FileExists(web_ + "diary-current.html"));
}

TEST_F(Flow, ALockedPageOrAFullDiskLeavesThePageWhole) {
    const std::string before = std::string(8192, 'p') + kPrototype;
    WriteBytes(web_ + "diary03-Feb.html", before);
    auto failsLeavingThePage = [&](const char* why) {
        EXPECT_EQ(Generate("t"), GenerateResult::Failed) << why;
        EXPECT_EQ(Page(), before) << why;
        EXPECT_FALSE(FileExists(web_ + "diary-current.html")) << why;
    };
    {
        auto holder = LockedFile::Open(web_ + "diary03-Feb.html", LockedFile::Mode::OpenExisting);
        failsLeavingThePage("locked");
    }
    FileSizeLimit fullDisk(4096);
    failsLeavingThePage("full disk");
}

TEST_F(Flow, PrototypeInAFolderHoldingTen) {
    // 十 is 0x8F 0x5C: its second byte looks like a backslash.
    std::filesystem::create_directory(dir_.dir() + "日記十");
    WriteBytes(dir_.dir() + "日記十/原型十.html", kPrototype);
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
