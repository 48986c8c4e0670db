#include "engine/take_back.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/generate.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

// Records the programs started instead of starting them.
class UploadHost : public FakeHost {
  public:
    std::vector<std::pair<std::string, std::string>> starts;
    StartResult result = StartResult::Started;
    StartResult StartProgram(std::string_view program, std::string_view parameters) override {
        starts.emplace_back(program, parameters);
        return result;
    }
};

// One monthly set "diary" with a log page and a current copy; pages in web/.
class TakeBack : public ::testing::Test {
  protected:
    TakeBack() : clock_("2003-02-05 21:05:09") {
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", web_ + "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("LOG", web_ + "log.html");
        SetKey("EDIT", "1");
        SetKey("CURRENT", "1");
        WriteBytes(web_ + "original.html", kPrototype);
        WriteBytes(web_ + "log.html", "<p>log</p>" + kLogMarker + "\r\n</p>");
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>");
    }
    void SetKey(std::string_view key, std::string_view value) {
        ASSERT_TRUE(WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value));
    }
    // One run of the program that writes one entry, as the command line does.
    GenerateResult Generate(const std::string& title) {
        ActiveConfig config;
        InitConfig(config, dir_.dir());
        RunState run;
        EntryInput input;
        input.title = title;
        input.body = "b";
        return GenerateCommand(config, run, input, host_);
    }
    TakeBackOutcome Undo(bool upload = false) {
        return TakeBackLastEntry(dir_.dir(), upload, host_);
    }
    std::string Read(std::string_view name) const { return ReadBytes(web_ + std::string(name)); }
    // Every file a take back may touch, to check that a refusal touched none.
    std::vector<std::string> Files() const {
        return {Read("diary03-Feb.html"), Read("diary03-Mar.html"), Read("log.html"),
                Read("diary-current.html")};
    }

    TempDir dir_;
    FixedClock clock_;
    std::string web_ = dir_ / "web/";
    UploadHost host_;
};

TEST_F(TakeBack, AfterTwoGeneratesThePagesAreAsAfterTheFirst) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::vector<std::string> afterFirst = Files();
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    ASSERT_NE(Files(), afterFirst);

    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::TakenBack);
    EXPECT_EQ(Files(), afterFirst);
    EXPECT_EQ(outcome.restored,
              (std::vector<std::string>{web_ + "diary03-Feb.html", web_ + "diary-current.html"}));
    EXPECT_TRUE(outcome.removed.empty());
    // Only the last generate is kept: there is nothing more to take back.
    EXPECT_EQ(Undo().status, TakeBackStatus::NothingToTake);
    EXPECT_EQ(Files(), afterFirst);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "undo"));
}

TEST_F(TakeBack, AFileChangedSinceStopsItBeforeAnythingIsTouched) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    WriteBytes(web_ + "diary-current.html", Read("diary-current.html") + "hand edit");
    const std::vector<std::string> edited = Files();

    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(outcome.file, web_ + "diary-current.html");
    EXPECT_EQ(Files(), edited);  // the page, listed first, was not restored either
    EXPECT_TRUE(outcome.restored.empty());

    // A page removed since counts as changed too.
    RemoveFile(web_ + "diary03-Feb.html");
    EXPECT_EQ(Undo().status, TakeBackStatus::ChangedSince);
}

// The month's first entry made the page and its log link: both go, and the
// current copy shows the month before again.
TEST_F(TakeBack, APageTheGenerateRolledOverToGoesWithItsLogLink) {
    ASSERT_EQ(Generate("february"), GenerateResult::Written);
    clock_.Set("2003-03-01 08:00:00");
    const std::vector<std::string> beforeMarch = Files();
    ASSERT_EQ(Generate("march"), GenerateResult::Written);
    ASSERT_NE(Read("log.html").find("diary03-Mar.html"), std::string::npos);

    host_.messages.clear();
    const TakeBackOutcome outcome = Undo(/*upload=*/true);
    EXPECT_EQ(outcome.status, TakeBackStatus::TakenBack);
    EXPECT_FALSE(std::filesystem::exists(web_ + "diary03-Mar.html"));
    EXPECT_EQ(Files(), beforeMarch);
    EXPECT_EQ(outcome.removed, std::vector<std::string>{web_ + "diary03-Mar.html"});
    // The upload tool gets what was restored; the removed page is not sent.
    ASSERT_EQ(host_.starts.size(), 1u);
    EXPECT_EQ(host_.starts[0].first, "tavmo/tavmo.exe");
    EXPECT_EQ(host_.starts[0].second,
              "\"" + web_ + "log.html\" \"" + web_ + "diary-current.html\"");
    EXPECT_TRUE(host_.messages.empty());
}

// A page made by a roll-over at start-up and edited before the entry went in
// (as the roll-over message invites) is the user's: it stays, with its link.
TEST_F(TakeBack, APageEditedBetweenItsRollOverAndTheEntryStays) {
    ActiveConfig config;
    InitConfig(config, dir_.dir());
    RunState run;
    SystemState state;
    ASSERT_TRUE(LoadConfiguration(config, run, state, host_));  // the window's start-up
    const std::string page = web_ + "diary03-Feb.html";
    WriteBytes(page, Read("diary03-Feb.html") + "<p>February's own header</p>");
    const std::string edited = Read("diary03-Feb.html");
    const std::string log = Read("log.html");
    EntryInput input;
    input.title = "t";
    ASSERT_EQ(GenerateCommand(config, run, input, host_), GenerateResult::Written);

    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_EQ(Read("diary03-Feb.html"), edited);
    EXPECT_EQ(Read("log.html"), log);

    // Left alone, the same start-up roll-over goes with the entry.
    clock_.Set("2003-03-02 10:00:00");
    const std::string logBeforeMarch = Read("log.html");
    ActiveConfig march;
    InitConfig(march, dir_.dir());
    RunState marchRun;
    ASSERT_TRUE(LoadConfiguration(march, marchRun, state, host_));
    ASSERT_EQ(GenerateCommand(march, marchRun, input, host_), GenerateResult::Written);
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_FALSE(std::filesystem::exists(web_ + "diary03-Mar.html"));
    EXPECT_EQ(Read("log.html"), logBeforeMarch);
}

TEST_F(TakeBack, ALogPageChangedSinceItsLinkStopsTheRollOversTakeBack) {
    clock_.Set("2003-03-01 08:00:00");
    ASSERT_EQ(Generate("march"), GenerateResult::Written);
    WriteBytes(web_ + "log.html", Read("log.html") + "<p>edited</p>");
    const std::vector<std::string> edited = Files();
    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(outcome.file, web_ + "log.html");
    EXPECT_EQ(Files(), edited);
}

// A restore that stops midway (a full disk) leaves the record, and taking
// back again finishes the rest; a damaged earlier version is never written.
TEST_F(TakeBack, AStopMidwayIsFinishedByTheNextTry) {
    ASSERT_EQ(Generate("february"), GenerateResult::Written);
    clock_.Set("2003-03-01 08:00:00");
    const std::vector<std::string> beforeMarch = Files();
    ASSERT_EQ(Generate("march"), GenerateResult::Written);
    {
        // The page goes and the small log page is restored; the current
        // copy's earlier version, February's whole page, does not fit.
        const FileSizeLimit full(beforeMarch[0].size() - 1);
        const TakeBackOutcome outcome = Undo();
        EXPECT_EQ(outcome.status, TakeBackStatus::Failed);
        EXPECT_EQ(outcome.file, web_ + "diary-current.html");
    }
    EXPECT_FALSE(std::filesystem::exists(web_ + "diary03-Mar.html"));
    EXPECT_EQ(Read("log.html"), beforeMarch[2]);
    const TakeBackOutcome finished = Undo();
    EXPECT_EQ(finished.status, TakeBackStatus::TakenBack);
    EXPECT_EQ(Files(), beforeMarch);

    ASSERT_EQ(Generate("again"), GenerateResult::Written);
    const std::vector<std::string> afterAgain = Files();
    WriteBytes(dir_ / "undo/log.before", "damaged");
    const TakeBackOutcome damaged = Undo();
    EXPECT_EQ(damaged.status, TakeBackStatus::Failed);
    EXPECT_EQ(damaged.file, dir_ / "undo/log.before");
    EXPECT_EQ(Files(), afterAgain);
}

// When this generate's record cannot be kept, the one before it must not
// stay behind: it would take back an entry that is no longer the last.
TEST_F(TakeBack, ARecordThatCannotBeKeptLeavesNoOlderOne) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    const std::string manifest = ReadBytes(dir_ / "undo/manifest.txt");
    ASSERT_GT(manifest.size(), Read("diary03-Feb.html").size() + 100);
    {
        // Room for the pages and their earlier versions, not for the list.
        const FileSizeLimit full(manifest.size() - 1);
        ASSERT_EQ(Generate("third"), GenerateResult::Written);
    }
    EXPECT_EQ(Undo().status, TakeBackStatus::NothingToTake);
    EXPECT_NE(Read("diary03-Feb.html").find("third"), std::string::npos);
}

// A generate running elsewhere holds the program folder: taking back waits,
// then gives up touching nothing.
TEST_F(TakeBack, WaitsForARunningGenerateThenGivesUp) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    const std::vector<std::string> before = Files();
    const int other = ::open((dir_ / "QMgenerate.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    host_.messages.clear();
    EXPECT_EQ(Undo().status, TakeBackStatus::Busy);
    ::close(other);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
}

TEST_F(TakeBack, AnUploadToolThatIsMissingIsReported) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    host_.result = StartResult::NotFound;
    const TakeBackOutcome outcome = Undo(/*upload=*/true);
    EXPECT_EQ(outcome.status, TakeBackStatus::TakenBack);
    EXPECT_TRUE(outcome.uploadStarted);
    EXPECT_EQ(outcome.upload, StartResult::NotFound);
    EXPECT_EQ(outcome.uploaderPath, "tavmo/tavmo.exe");
}

}  // namespace
}  // namespace qm::test
