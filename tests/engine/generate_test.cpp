#include "engine/generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_host.h"
#include "platform/files.h"
#include "platform/process.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::Said;
using test::WriteBytes;
using Args = std::vector<std::string>;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kNul(1, '\0');
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

TEST(UploadText, ThePageThenTheLogTheImagesAndTheCurrentCopyEachInQuotes) {
    ActiveConfig config;
    config.diaryPage = "/web/diary03-Jan.html";
    config.logPath = "/web/log.html";
    config.diaryFolder = "/web/";
    config.currentName = "now.html";
    RunState run;
    EXPECT_EQ(UploadParameters(config, run, false), "\"/web/diary03-Jan.html\"");
    run.imageUploadList = "/pics/a.jpg\" \"/pics/b b.jpg";
    EXPECT_EQ(UploadParameters(config, run, false),
              "\"/web/diary03-Jan.html\" \"/pics/a.jpg\" \"/pics/b b.jpg\"");
    run.logUpdated = true;
    EXPECT_EQ(UploadParameters(config, run, true),
              "\"/web/diary03-Jan.html\" \"/web/log.html\" \"/pics/a.jpg\" \"/pics/b b.jpg\" "
              "\"/web/now.html\"");
    config.diaryPage = "/web/say \"hi\".html";
    EXPECT_EQ(SplitCommandLine(UploadParameters(config, RunState{}, false)),
              Args{config.diaryPage});
}

// A program folder with one set "diary" whose pages live in web/.
class Flow : public ::testing::Test {
  protected:
    Flow() : clock_("2003-02-05 21:05:09") {
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", web_ + "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("LOG", web_ + "log.html");
        SetKey("FTP", "/opt/tavmo/tavmo");
        SetKey("EDIT", "1");
        WriteBytes(web_ + "original.html", kPrototype);
        WriteBytes(web_ + "log.html", kLogMarker);
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*k/*n\r\n*?\r\n*$");
        InitConfig(config_, dir_.dir());
    }
    void SetKey(std::string_view key, std::string_view value) {
        WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value);
    }
    GenerateResult Generate(std::string title = Sjis("題"), std::string body = "a\r\nb") {
        input_.title = title;
        input_.body = body;
        return GenerateCommand(config_, run_, input_, host_);
    }
    std::string Page(std::string_view name = "diary03-Feb.html") const {
        return ReadBytes(web_ + std::string(name));
    }
    Args Uploaded() const {
        return host_.parameters.empty() ? Args{"none"} : SplitCommandLine(host_.parameters.back());
    }
    std::string Entry(std::string_view title, std::string_view body,
                      std::string_view image = "") const {
        return Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n<h3>") + std::string(title) +
               Sjis("</h3>二/五\r\n") + std::string(body) + "\r\n" + std::string(image);
    }
    bool Load() {
        InitConfig(config_, dir_.dir());
        return LoadConfiguration(config_, run_, state_, host_);
    }
    bool Has(const std::string& page, std::string_view text) const {
        return page.find(text) != std::string::npos;
    }

    test::TempDir dir_;
    test::FixedClock clock_;
    std::string web_ = dir_ / "web/";
    ActiveConfig config_;
    RunState run_;
    SystemState state_;
    EntryInput input_;
    test::FakeHost host_;
};

TEST_F(Flow, NewestEntryOnTopOfTheNewPageAndEveryChangedFileUploaded) {
    run_.imageUploadList = "/pics/a.jpg\" \"/pics/b.jpg";
    input_ = {"", "", "b.jpg", "B", true};
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(host_.CountCaption(msg::kNewPageCaption), 1);
    EXPECT_EQ(Page("original.html"), kPrototype);
    EXPECT_EQ(host_.programs, Args{"/opt/tavmo/tavmo"});
    EXPECT_EQ(Uploaded(),
              (Args{web_ + "diary03-Feb.html", web_ + "log.html", "/pics/a.jpg", "/pics/b.jpg"}));
    run_ = {};
    host_ = {};
    EXPECT_EQ(Generate("second", ""), GenerateResult::Written);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Page(), "<html>\r\n" + kMarker + Entry("second", "") +
                          Entry(Sjis("題"), "a<BR>\r\nb", "<img src=\"b.jpg\" alt=\"B\" >") +
                          "\r\n</html>" + kNul);
    EXPECT_EQ(Uploaded(), Args{web_ + "diary03-Feb.html"});
}

TEST_F(Flow, UploadOnlyWhenAskedAndAMissingToolIsReportedAfterTheEntry) {
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_TRUE(host_.programs.empty());
    input_.upload = true;
    host_ = {};
    host_.startResult = StartResult::Failed;  // other start failures are not reported
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_TRUE(host_.messages.empty());
    host_.startResult = StartResult::NotFound;
    EXPECT_EQ(Generate("third", ""), GenerateResult::WrittenNoUploader);
    EXPECT_EQ(host_.Only(), "/opt/tavmo/tavmo" + Said(msg::kNotFoundSuffix, msg::kNotFoundCaption));
    EXPECT_TRUE(Has(Page(), "<h3>third</h3>"));
}

TEST_F(Flow, CurrentCopyModes) {
    SetKey("CURRENT", "1");
    WriteBytes(web_ + "diary-current.html", "stale");
    ::chmod((web_ + "diary-current.html").c_str(), 0444);  // refreshed all the same
    input_.upload = true;
    for (const char* always1 : {"0", "2"}) {  // the whole page
        SetKey("ALWAYS1", always1);
        ASSERT_EQ(Generate(), GenerateResult::Written);
        EXPECT_EQ(Page("diary-current.html"), Page()) << always1;
    }
    EXPECT_EQ(Uploaded().back(), web_ + "diary-current.html");
    SetKey("ALWAYS1", "1");  // the newest entry only
    SetKey("CURRENTNAME", "now.html");
    ASSERT_EQ(Generate("second", ""), GenerateResult::Written);
    EXPECT_EQ(Page("now.html"),
              "<html>\r\n" + kMarker + Entry("second", "") + "\r\n</html>" + kNul);
    const std::string copy = Page("now.html");
    SetKey("EDIT", "0");  // no copy while the prototype itself is written
    run_ = {};
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("now.html"), copy);
    EXPECT_TRUE(Has(Page("original.html"), "a<BR>"));
    EXPECT_EQ(Uploaded(), Args{web_ + "original.html"});
}

TEST_F(Flow, CurrentCopyIsPlainWithoutMarkerAndNeverOverwritesTheUsersFiles) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "1");
    WriteBytes(web_ + "diary03-Feb.html", kMarker);
    WriteBytes(web_ + "original.html", "<html>no marker</html>");
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), "<html>no marker</html>");
    EXPECT_EQ(host_.CountCaption(msg::kNoMarkerCaption), 1);
    for (const char* name : {"diary03-Feb.html", "log.html"}) {
        SetKey("CURRENTNAME", name);
        const std::string before = Page(name);
        ASSERT_EQ(Generate(name), GenerateResult::Written);
        EXPECT_TRUE(Has(Page(), "<h3>" + std::string(name) + "</h3>")) << name;
        if (name == std::string("log.html")) {
            EXPECT_EQ(Page(name), before);
        }
    }
    EXPECT_TRUE(Has(Page(), Sjis("<h3>題</h3>")));
}

// Each stop writes no entry, leaves the page whole and uploads nothing.
TEST_F(Flow, FailuresStopBeforeTheEntryAndLeaveThePageWhole) {
    SetKey("CURRENT", "1");
    input_.upload = true;
    const std::string before = std::string(8192, 'p') + kPrototype;
    WriteBytes(web_ + "diary03-Feb.html", before);
    for (int round = 0; round < 4; ++round) {
        host_ = {};
        WriteBytes(dir_ / "templet.txt", round == 0 ? "" : "*!");
        std::optional<LockedFile> holder;
        std::optional<test::FileSizeLimit> limit;
        std::optional<test::UnwritableFolder> unwritable;
        if (round == 1)
            holder = LockedFile::Open(web_ + "diary03-Feb.html", LockedFile::Mode::OpenExisting);
        if (round == 2) limit.emplace(4096);
        if (round == 3) unwritable.emplace(web_);
        EXPECT_EQ(Generate(), GenerateResult::Failed) << round;
        limit.reset();
        unwritable.reset();
        const std::string_view captions[] = {msg::kReadFailedCaption, msg::kPageOpenCaption,
                                             msg::kPageWriteCaption, msg::kPageWriteCaption};
        EXPECT_EQ(host_.CountCaption(captions[round]), 1) << round;
        EXPECT_EQ(Page(), before) << round;
        EXPECT_FALSE(FileExists(web_ + "diary-current.html")) << round;
        EXPECT_TRUE(host_.programs.empty()) << round;
    }
    WriteBytes(web_ + "original.html", "<html></html>");  // a new page without marker
    clock_.Set("2003-03-05 21:05:09");
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.CountCaption(msg::kNoMarkerCaption), 1);
    EXPECT_EQ(Page("diary03-Mar.html"), "<html></html>");
    EXPECT_TRUE(Has(Page("log.html"), "diary03-Mar.html"));
    EXPECT_TRUE(host_.programs.empty());
}

TEST_F(Flow, PathsHoldingTenAreCutWhereTheSeparatorsAre) {
    // 十 is 0x8F 0x5C: its second byte looks like a backslash.
    const std::string folder = dir_.dir() + Sjis("日記十");
    std::filesystem::create_directory(dir_.dir() + "日記十");
    WriteBytes(dir_.dir() + "日記十/原型十.html", kPrototype);
    SetKey("ORIGINAL", folder + "\\" + Sjis("原型十.html"));
    SetKey("CURRENT", "1");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(host_.messages[0].text, folder + "\\diary03-Feb.html" + Sjis(msg::kNewMonthText));
    const std::string page = ReadBytes(dir_.dir() + "日記十/diary03-Feb.html");
    EXPECT_TRUE(Has(page, "a<BR>"));
    EXPECT_EQ(ReadBytes(dir_.dir() + "日記十/diary-current.html"), page);
}

TEST_F(Flow, SetManagerIsAskedUntilASetExists) {
    ActiveConfig fresh;
    fresh.logPath = "stale";
    InitConfig(fresh, "/opt/qm");
    EXPECT_EQ((Args{fresh.programDir, fresh.systemIniPath, fresh.logPath}),
              (Args{"/opt/qm/", "/opt/qm/QMsys.ini", ""}));
    RemoveFile(dir_ / "QMsys.ini");
    EXPECT_FALSE(Load());  // no manager: one message, then stop
    EXPECT_EQ(host_.setManagerVisits, 1);
    EXPECT_EQ(host_.Only(), Said(msg::kNoSetText, msg::kSettingsCaption));
    host_ = {};
    host_.setManager = [&](ActiveConfig& config) {
        if (host_.setManagerVisits == 2) {
            WriteProfileString(config.systemIniPath, "INI", "0", std::string("mine"));
            WriteProfileString(dir_ / "mine.ini", "FILEPATH", "ORIGINAL", dir_ / "p.html");
        }
        return true;
    };
    WriteBytes(dir_ / "p.html", kPrototype);
    ASSERT_TRUE(Load());
    EXPECT_EQ(host_.setManagerVisits, 2);
    EXPECT_EQ(state_.setNames, Args{"mine"});
    EXPECT_EQ(config_.diaryPage, dir_ / "p.html");
}

TEST_F(Flow, ReadsTheSystemFileAndTheStoredSet) {
    WriteBytes(dir_ / "QMsys.ini",
               "[STATE]\r\nUP=1\r\nCURRENT=1\r\n[WINDOWSIZE]\r\nWidth=300\r\nHeight=420\r\n"
               "[INI]\r\n0=a\r\n1=b\r\n");
    WriteBytes(dir_ / "b.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "b.html") +
                                   "\r\nTEMPLET=t.txt\r\nEDIT=3\r\nCURRENT=1\r\nALWAYS1=1\r\n"
                                   "CURRENTNAME=now.html\r\nFTP=up\r\nLOG=log.html\r\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(state_.setNames, (Args{"a", "b"}));
    EXPECT_EQ(
        std::tie(state_.windowWidth, state_.windowHeight, config_.upFlag, run_.currentSetIndex),
        std::make_tuple(300, 420, 1, 1));
    EXPECT_EQ(
        (Args{config_.configIniPath, config_.prototypePath, config_.diaryFolder,
              config_.templatePath, config_.currentName, config_.uploaderPath, config_.logPath}),
        (Args{dir_ / "b.ini", dir_ / "b.html", dir_.dir(), "t.txt", "now.html", "up", "log.html"}));
    EXPECT_EQ(std::tie(config_.splitMode, config_.makeCurrentCopy, config_.alwaysOne),
              std::make_tuple(3, 1, 1));
}

TEST_F(Flow, StoredSetOutsideTheListFallsBackToTheFirstAndMissingKeysToDefaults) {
    for (const char* current : {"2", "7", "-1"}) {
        WriteBytes(dir_ / "QMsys.ini",
                   std::string("[STATE]\r\nCURRENT=") + current + "\r\n[INI]\r\n0=a\r\n1=b\r\n");
        Load();
        EXPECT_EQ(run_.currentSetIndex, 0) << current;
        EXPECT_EQ(config_.configIniPath, dir_ / "a.ini") << current;
    }
    EXPECT_EQ(std::tie(state_.windowWidth, state_.windowHeight, config_.splitMode),
              std::make_tuple(565, 499, 0));
    EXPECT_EQ((Args{config_.prototypePath, config_.templatePath, config_.uploaderPath,
                    config_.currentName, config_.logPath, config_.diaryFolder}),
              (Args{"original.html", "templet.txt", "tavmo/tavmo.exe", "diary-current.html", "",
                    dir_.dir()}));
}

TEST_F(Flow, EmptyTemplatePathOpensTheDialogOrStopsTheFlow) {
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=a\r\n");
    WriteBytes(dir_ / "p.html", kPrototype);
    WriteBytes(dir_ / "a.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "p.html") + "\r\nTEMPLET=\r\n");
    EXPECT_FALSE(Load());
    EXPECT_EQ(host_.Only(), Said(msg::kPathsEmptyText, msg::kSettingsCaption));
    EntryInput input;
    EXPECT_EQ(GenerateCommand(config_, run_, input, host_), GenerateResult::Failed);
    EXPECT_EQ(ReadBytes(dir_ / "p.html"), kPrototype);
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));

    host_ = {};
    host_.pathSettings = [&](ActiveConfig& config) {
        config.templatePath = dir_ / "t.txt";
        config.splitMode = 1;
        return true;
    };
    ASSERT_TRUE(Load());
    EXPECT_EQ(host_.pathSettingsVisits, 1);
    EXPECT_EQ(config_.diaryPage, dir_ / "diary03-Feb.html");
    EXPECT_EQ(ReadBytes(config_.diaryPage), kPrototype);
}

}  // namespace
}  // namespace qm
