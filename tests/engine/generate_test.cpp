#include "engine/generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/messages.h"
#include "fake_host.h"
#include "platform/files.h"
#include "platform/process.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::FakeHost;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kNul(1, '\0');
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

TEST(UploadText, OnlyThePageWhenNothingElseChanged) {
    ActiveConfig config;
    config.diaryPage = "/web/diary03-Jan.html";
    config.logPath = "/web/log.html";
    EXPECT_EQ(UploadParameters(config, RunState{}, false), "\"/web/diary03-Jan.html\"");
}

TEST(UploadText, EveryChangedFileInItsOwnQuotesInOrder) {
    ActiveConfig config;
    config.diaryPage = "/web/diary03-Jan.html";
    config.logPath = "/web/log.html";
    config.diaryFolder = "/web/";
    config.currentName = "diary-current.html";
    RunState run;
    run.logUpdated = true;
    run.imageUploadList = "/pics/a.jpg\" \"/pics/b b.jpg";
    const std::string text = UploadParameters(config, run, true);
    EXPECT_EQ(text,
              "\"/web/diary03-Jan.html\" \"/web/log.html\" \"/pics/a.jpg\" \"/pics/b b.jpg\" "
              "\"/web/diary-current.html\"");
    EXPECT_EQ(SplitCommandLine(text),
              (std::vector<std::string>{"/web/diary03-Jan.html", "/web/log.html", "/pics/a.jpg",
                                        "/pics/b b.jpg", "/web/diary-current.html"}));
}

TEST(UploadText, ImagesWithoutLogChange) {
    ActiveConfig config;
    config.diaryPage = "/web/p.html";
    RunState run;
    run.imageUploadList = "/pics/a.jpg";
    EXPECT_EQ(UploadParameters(config, run, false), "\"/web/p.html\" \"/pics/a.jpg\"");
}

TEST(UploadText, QuoteInsideAPathStaysInOneArgument) {
    ActiveConfig config;
    config.diaryPage = "/web/say \"hi\".html";
    EXPECT_EQ(SplitCommandLine(UploadParameters(config, RunState{}, false)),
              (std::vector<std::string>{"/web/say \"hi\".html"}));
}

// A program folder with one set "diary" whose pages live in web/.
class Flow : public ::testing::Test {
  protected:
    Flow() : clock_("2003-02-05 21:05:09") {
        web_ = dir_ / "web/";
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", web_ + "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("LOG", web_ + "log.html");
        SetKey("FTP", "/opt/tavmo/tavmo");
        SetKey("EDIT", "1");
        WriteBytes(web_ + "original.html", kPrototype);
        WriteBytes(web_ + "log.html", kLogMarker);
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*k/*n\r\n*?\r\n");
        InitConfig(config_, dir_.dir());
        input_.title = Sjis("題");
        input_.body = "a\r\nb";
    }
    void SetKey(std::string_view key, std::string_view value) {
        WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value);
    }
    GenerateResult Generate() { return GenerateCommand(config_, run_, input_, host_); }
    std::string Page(std::string_view name) const { return ReadBytes(web_ + std::string(name)); }
    std::string Entry(std::string_view title, std::string_view body) const {
        return kMarker + Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n<h3>") +
               std::string(title) + Sjis("</h3>二/五\r\n") + std::string(body) + "\r\n";
    }

    TempDir dir_;
    test::FixedClock clock_;
    std::string web_;
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

TEST_F(Flow, FirstRunOfTheMonthMakesThePageLinksItAndWritesTheEntry) {
    input_.upload = true;
    EXPECT_EQ(Generate(), GenerateResult::Written);
    const std::string page = web_ + "diary03-Feb.html";
    EXPECT_EQ(config_.diaryPage, page);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, page + Sjis(msg::kNewMonthText));
    EXPECT_EQ(Page("diary03-Feb.html"),
              "<html>\r\n" + Entry(Sjis("題"), "a<BR>\r\nb") + "\r\n</html>" + kNul);
    EXPECT_EQ(Page("log.html"),
              kLogMarker + Sjis("\r\n<a href =diary03-Feb.html>02月05日以降の日記</a><BR>") + kNul);
    EXPECT_EQ(Page("original.html"), kPrototype);
    ASSERT_EQ(host_.starts.size(), 1u);
    EXPECT_EQ(host_.starts[0].program, "/opt/tavmo/tavmo");
    EXPECT_EQ(host_.starts[0].parameters, "\"" + page + "\" \"" + web_ + "log.html\"");
}

TEST_F(Flow, LaterRunPutsTheNewerEntryOnTopAndUploadsOnlyThePage) {
    ASSERT_EQ(Generate(), GenerateResult::Written);
    RunState nextRun;
    FakeHost nextHost;
    input_.title = "second";
    input_.body = "";
    input_.upload = true;
    ASSERT_EQ(GenerateCommand(config_, nextRun, input_, nextHost), GenerateResult::Written);
    EXPECT_TRUE(nextHost.messages.empty());
    EXPECT_EQ(Page("diary03-Feb.html"), "<html>\r\n" + Entry("second", "") +
                                            Entry(Sjis("題"), "a<BR>\r\nb").substr(kMarker.size()) +
                                            "\r\n</html>" + kNul);
    ASSERT_EQ(nextHost.starts.size(), 1u);
    EXPECT_EQ(nextHost.starts[0].parameters, "\"" + web_ + "diary03-Feb.html\"");
}

TEST_F(Flow, NoUploadUnlessAsked) {
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_TRUE(host_.starts.empty());
}

TEST_F(Flow, MissingUploadToolIsReportedAfterTheEntryIsWritten) {
    input_.upload = true;
    host_.startResult = StartResult::NotFound;
    EXPECT_EQ(Generate(), GenerateResult::WrittenNoUploader);
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[1].text, "/opt/tavmo/tavmo" + Sjis(msg::kNotFoundSuffix));
    EXPECT_EQ(host_.messages[1].caption, Sjis(msg::kNotFoundCaption));
    EXPECT_NE(Page("diary03-Feb.html").find("a<BR>"), std::string::npos);
}

TEST_F(Flow, OtherStartFailuresAreNotReported) {
    input_.upload = true;
    host_.startResult = StartResult::Failed;
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(host_.messages.size(), 1u);  // the new-page message only
}

TEST_F(Flow, ImagesChosenThisRunAreTaggedAndUploaded) {
    WriteBytes(dir_ / "templet.txt", "*$");
    run_.imageUploadList = "/pics/a.jpg\" \"/pics/b.jpg";
    input_.imageName = "b.jpg";
    input_.altText = "B";
    input_.upload = true;
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_NE(Page("diary03-Feb.html").find("<img src=\"b.jpg\" alt=\"B\" >"), std::string::npos);
    ASSERT_EQ(host_.starts.size(), 1u);
    EXPECT_EQ(SplitCommandLine(host_.starts[0].parameters),
              (std::vector<std::string>{web_ + "diary03-Feb.html", web_ + "log.html", "/pics/a.jpg",
                                        "/pics/b.jpg"}));
}

TEST_F(Flow, CurrentCopyHoldsTheWholePage) {
    SetKey("CURRENT", "1");
    input_.upload = true;
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), Page("diary03-Feb.html"));
    ASSERT_EQ(host_.starts.size(), 1u);
    const auto args = SplitCommandLine(host_.starts[0].parameters);
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[2], web_ + "diary-current.html");
}

TEST_F(Flow, CurrentCopyWithOtherAlwaysOneValuesHoldsTheWholePage) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "2");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    input_.title = "again";
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), Page("diary03-Feb.html"));
}

TEST_F(Flow, CurrentCopyCanHoldOnlyTheNewestEntry) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "1");
    SetKey("CURRENTNAME", "now.html");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    input_.title = "second";
    input_.body = "";
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("now.html"), "<html>\r\n" + Entry("second", "") + "\r\n</html>" + kNul);
    EXPECT_NE(Page("diary03-Feb.html").find("a<BR>"), std::string::npos);
}

TEST_F(Flow, ReadOnlyCurrentCopyIsRefreshed) {
    SetKey("CURRENT", "1");
    WriteBytes(web_ + "diary-current.html", "stale");
    ::chmod((web_ + "diary-current.html").c_str(), 0444);
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), Page("diary03-Feb.html"));
}

TEST_F(Flow, NoCurrentCopyWhenThePrototypeItselfIsEdited) {
    SetKey("CURRENT", "1");
    SetKey("EDIT", "0");
    input_.upload = true;
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_FALSE(FileExists(web_ + "diary-current.html"));
    EXPECT_NE(Page("original.html").find("a<BR>"), std::string::npos);
    ASSERT_EQ(host_.starts.size(), 1u);
    EXPECT_EQ(host_.starts[0].parameters, "\"" + web_ + "original.html\"");
}

TEST_F(Flow, PrototypeWithoutMarkerGivesAPlainCopyAndTheFlowGoesOn) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "1");
    WriteBytes(web_ + "diary03-Feb.html", kMarker);  // made earlier
    WriteBytes(web_ + "original.html", "<html>no marker</html>");
    input_.upload = true;
    EXPECT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), "<html>no marker</html>");
    EXPECT_EQ(host_.CountCaption(msg::kNoMarkerCaption), 1);
    ASSERT_EQ(host_.starts.size(), 1u);
    EXPECT_EQ(SplitCommandLine(host_.starts[0].parameters).back(), web_ + "diary-current.html");
}

TEST_F(Flow, CurrentCopyNamedLikeTheUsersOwnFilesIsNeverMade) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "1");
    SetKey("CURRENTNAME", "diary03-Feb.html");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    input_.title = "second";
    ASSERT_EQ(Generate(), GenerateResult::Written);
    const std::string page = Page("diary03-Feb.html");
    EXPECT_NE(page.find(Sjis("<h3>題</h3>")), std::string::npos);
    EXPECT_NE(page.find("<h3>second</h3>"), std::string::npos);

    SetKey("CURRENTNAME", "log.html");
    const std::string log = Page("log.html");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("log.html"), log);
}

TEST_F(Flow, EmptyTemplateStopsBeforeAnythingIsWritten) {
    SetKey("CURRENT", "1");
    WriteBytes(dir_ / "templet.txt", "");
    input_.upload = true;
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.CountCaption(msg::kReadFailedCaption), 1);
    EXPECT_EQ(Page("diary03-Feb.html"), kPrototype);
    EXPECT_FALSE(FileExists(web_ + "diary-current.html"));
    EXPECT_TRUE(host_.starts.empty());
}

TEST_F(Flow, PageWithoutMarkerStopsButKeepsTheNewPageAndItsLink) {
    WriteBytes(web_ + "original.html", "<html></html>");
    input_.upload = true;
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.CountCaption(msg::kNoMarkerCaption), 1);
    EXPECT_EQ(Page("diary03-Feb.html"), "<html></html>");
    EXPECT_NE(Page("log.html").find("diary03-Feb.html"), std::string::npos);
    EXPECT_TRUE(host_.starts.empty());
}

TEST_F(Flow, PageHeldByAnotherHolderFails) {
    WriteBytes(web_ + "diary03-Feb.html", kPrototype);
    auto holder = LockedFile::Open(web_ + "diary03-Feb.html", LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    input_.upload = true;
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.CountCaption(msg::kPageOpenCaption), 1);
    EXPECT_EQ(Page("diary03-Feb.html"), kPrototype);
    EXPECT_TRUE(host_.starts.empty());
}

TEST_F(Flow, PageInAnUnwritableFolderFailsAndStaysWhole) {
    WriteBytes(web_ + "diary03-Feb.html", kPrototype);
    test::UnwritableFolder unwritable(web_);
    if (!unwritable.works()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.CountCaption(msg::kPageWriteCaption), 1);
    EXPECT_EQ(Page("diary03-Feb.html"), kPrototype);
}

TEST_F(Flow, PathsWithDoubleByteBackslashBytesAreCutWhereTheSeparatorsAre) {
    // 十 is 0x8F 0x5C: its second byte looks like a backslash.
    const std::string folderCp932 = dir_.dir() + Sjis("日記十");
    std::filesystem::create_directory(dir_.dir() + "日記十");
    const std::string prototype = folderCp932 + "\\" + Sjis("原型十.html");
    WriteBytes(dir_.dir() + "日記十/原型十.html", kPrototype);
    SetKey("ORIGINAL", prototype);
    SetKey("CURRENT", "1");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(config_.diaryFolder, folderCp932 + "\\");
    EXPECT_EQ(config_.diaryPage, folderCp932 + "\\diary03-Feb.html");
    EXPECT_EQ(host_.messages[0].text, config_.diaryPage + Sjis(msg::kNewMonthText));
    const std::string page = ReadBytes(dir_.dir() + "日記十/diary03-Feb.html");
    EXPECT_NE(page.find("a<BR>"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_.dir() + "日記十/diary-current.html"), page);
}

class Loading : public ::testing::Test {
  protected:
    Loading() { InitConfig(config_, dir_.dir()); }
    bool Load() { return LoadConfiguration(config_, run_, state_, host_); }

    TempDir dir_;
    ActiveConfig config_;
    RunState run_;
    SystemState state_;
    FakeHost host_;
};

TEST_F(Loading, InitConfigPointsAtTheProgramFolder) {
    ActiveConfig config;
    config.logPath = "stale";
    InitConfig(config, "/opt/qm");
    EXPECT_EQ(config.programDir, "/opt/qm/");
    EXPECT_EQ(config.systemIniPath, "/opt/qm/QMsys.ini");
    EXPECT_EQ(config.logPath, "");
    EXPECT_EQ(config_.systemIniPath, dir_ / "QMsys.ini");
}

TEST_F(Loading, WithoutSetsAndWithoutManagerItStopsWithAMessage) {
    EXPECT_FALSE(Load());
    EXPECT_EQ(host_.setManagerVisits, 1);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Sjis(msg::kNoSetText));
}

TEST_F(Loading, ManagerComesBackUntilASetExists) {
    const std::string web = dir_ / "web/";
    std::filesystem::create_directory(web);
    WriteBytes(web + "original.html", kPrototype);
    host_.setManager = [&](ActiveConfig& config) {
        if (host_.setManagerVisits == 2) {
            WriteProfileString(config.systemIniPath, "INI", "0", std::string("mine"));
            WriteProfileString(dir_ / "mine.ini", "FILEPATH", "ORIGINAL", web + "original.html");
        }
        return true;
    };
    ASSERT_TRUE(Load());
    EXPECT_EQ(host_.setManagerVisits, 2);
    EXPECT_EQ(state_.setNames, std::vector<std::string>{"mine"});
    EXPECT_EQ(config_.configIniPath, dir_ / "mine.ini");
    EXPECT_EQ(config_.diaryPage, web + "original.html");
}

TEST_F(Loading, ReadsTheSystemFileAndPicksTheStoredSet) {
    WriteBytes(dir_ / "QMsys.ini",
               "[STATE]\r\nUP=1\r\nCURRENT=1\r\n[WINDOWSIZE]\r\nWidth=300\r\nHeight=420\r\n"
               "[INI]\r\n0=a\r\n1=b\r\n");
    WriteBytes(dir_ / "b.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "b.html") +
                                   "\r\nTEMPLET=t.txt\r\nEDIT=3\r\nCURRENT=1\r\nALWAYS1=1\r\n"
                                   "CURRENTNAME=now.html\r\nFTP=up\r\nLOG=log.html\r\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(state_.setNames, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(state_.windowWidth, 300);
    EXPECT_EQ(state_.windowHeight, 420);
    EXPECT_EQ(config_.upFlag, 1);
    EXPECT_EQ(run_.currentSetIndex, 1);
    EXPECT_EQ(config_.configIniPath, dir_ / "b.ini");
    EXPECT_EQ(config_.prototypePath, dir_ / "b.html");
    EXPECT_EQ(config_.diaryFolder, dir_.dir());
    EXPECT_EQ(config_.templatePath, "t.txt");
    EXPECT_EQ(config_.splitMode, 3);
    EXPECT_EQ(config_.makeCurrentCopy, 1);
    EXPECT_EQ(config_.alwaysOne, 1);
    EXPECT_EQ(config_.currentName, "now.html");
    EXPECT_EQ(config_.uploaderPath, "up");
    EXPECT_EQ(config_.logPath, "log.html");
}

TEST_F(Loading, StoredSetOutsideTheListFallsBackToTheFirst) {
    for (const char* current : {"2", "7", "-1"}) {
        WriteBytes(dir_ / "QMsys.ini",
                   std::string("[STATE]\r\nCURRENT=") + current + "\r\n[INI]\r\n0=a\r\n1=b\r\n");
        Load();
        EXPECT_EQ(run_.currentSetIndex, 0) << current;
        EXPECT_EQ(config_.configIniPath, dir_ / "a.ini") << current;
    }
}

TEST_F(Loading, MissingSetFileGivesTheDefaults) {
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=a\r\n");
    Load();
    EXPECT_EQ(state_.windowWidth, 565);
    EXPECT_EQ(state_.windowHeight, 499);
    EXPECT_EQ(config_.prototypePath, "original.html");
    EXPECT_EQ(config_.templatePath, "templet.txt");
    EXPECT_EQ(config_.uploaderPath, "tavmo/tavmo.exe");
    EXPECT_EQ(config_.currentName, "diary-current.html");
    EXPECT_EQ(config_.logPath, "");
    EXPECT_EQ(config_.diaryFolder, dir_.dir());
    EXPECT_EQ(config_.splitMode, 0);
}

TEST_F(Loading, EmptyTemplatePathWithoutDialogStopsTheFlow) {
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=a\r\n");
    WriteBytes(dir_ / "p.html", kPrototype);
    WriteBytes(dir_ / "a.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "p.html") + "\r\nTEMPLET=\r\n");
    EXPECT_FALSE(Load());
    EXPECT_EQ(host_.pathSettingsVisits, 1);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Sjis(msg::kPathsEmptyText));

    host_.messages.clear();
    EntryInput input;
    EXPECT_EQ(GenerateCommand(config_, run_, input, host_), GenerateResult::Failed);
    EXPECT_EQ(ReadBytes(dir_ / "p.html"), kPrototype);
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));
}

TEST_F(Loading, EmptyTemplatePathOpensTheDialogAndSelectsAgain) {
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=a\r\n");
    WriteBytes(dir_ / "p.html", kPrototype);
    WriteBytes(dir_ / "t.txt", "*!");
    WriteBytes(dir_ / "a.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "p.html") + "\r\nTEMPLET=\r\n");
    test::FixedClock clock("2003-02-05 21:05:09");
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
