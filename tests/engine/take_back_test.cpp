#include "engine/take_back.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "engine_fixture.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

class TakeBack : public DiaryFolder {
  protected:
    TakeBack() { WriteBytes(Web("log.html"), "<p>log</p>" + kLogMarker + "\r\n</p>"); }
    // One run of the program that writes one entry, as the command line does.
    GenerateResult Generate(const std::string& title) {
        config_ = ActiveConfig{};
        InitConfig(config_, dir_.dir());
        run_ = RunState{};
        input_.title = title;
        return GenerateCommand(config_, run_, input_, host_);
    }
    TakeBackOutcome Undo() { return TakeBackLastEntry(dir_.dir(), false, host_); }
    // Every file a take back may touch, to check that a refusal touched none.
    std::vector<std::string> Files() const {
        return {Page(), Page("diary03-Mar.html"), Page("log.html"), Page("diary-current.html")};
    }
};

TEST_F(TakeBack, AFileChangedSinceStopsItBeforeAnythingIsTouched) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    WriteBytes(Web("diary-current.html"), Page("diary-current.html") + "hand edit");
    const std::vector<std::string> edited = Files();
    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(outcome.file, Web("diary-current.html"));
    EXPECT_EQ(Files(), edited);  // the page, listed first, was not restored either
    EXPECT_TRUE(outcome.restored.empty());
    // A page removed since counts as changed too.
    RemoveFile(N(Web("diary03-Feb.html")));
    EXPECT_EQ(Undo().status, TakeBackStatus::ChangedSince);

    // So does a log page changed since a roll-over linked the new page.
    clock_.Set("2003-03-01 08:00:00");
    ASSERT_EQ(Generate("march"), GenerateResult::Written);
    WriteBytes(Web("log.html"), Page("log.html") + "<p>edited</p>");
    const std::vector<std::string> logEdited = Files();
    EXPECT_EQ(Undo().file, Web("log.html"));
    EXPECT_EQ(Files(), logEdited);
}

// A page made by a roll-over at start-up and edited before the entry went in
// (as the roll-over message invites) is the user's: it stays, with its link.
TEST_F(TakeBack, APageEditedBetweenItsRollOverAndTheEntryStays) {
    SystemState state;
    ASSERT_TRUE(LoadConfiguration(config_, run_, state, host_));  // the window's start-up
    WriteBytes(Web("diary03-Feb.html"), Page() + "<p>February's own header</p>");
    const std::string edited = Page(), log = Page("log.html");
    ASSERT_EQ(GenerateCommand(config_, run_, input_, host_), GenerateResult::Written);

    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_EQ(Page(), edited);
    EXPECT_EQ(Page("log.html"), log);
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
        EXPECT_EQ(outcome.file, Web("diary-current.html"));
    }
    EXPECT_FALSE(fs::exists(Web("diary03-Mar.html")));
    EXPECT_EQ(Page("log.html"), beforeMarch[2]);
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
    ASSERT_GT(manifest.size(), Page().size() + 100);
    {
        // Room for the pages and their earlier versions, not for the list.
        const FileSizeLimit full(manifest.size() - 1);
        ASSERT_EQ(Generate("third"), GenerateResult::Written);
    }
    EXPECT_EQ(Undo().status, TakeBackStatus::NothingToTake);
    EXPECT_NE(Page().find("third"), std::string::npos);
}

// A generate running elsewhere holds the program folder: taking back waits,
// then gives up touching nothing.
TEST_F(TakeBack, WaitsForARunningGenerateThenGivesUpTouchingNothing) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
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

// A record folder on another file system keeps a copy; the same bytes
// written again in place are a change all the same.
TEST_F(TakeBack, ARecordOnAnotherFileSystemKeepsACopy) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no second file system at /dev/shm";
    const fs::path shm = "/dev/shm/qm-take-back-" + std::to_string(::getpid());
    fs::create_directory(shm);
    fs::create_directory_symlink(shm, dir_ / "undo");
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::string afterFirst = Page();
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(dir_ / "undo/page.before"), afterFirst);
    const std::string second = Page();
    WriteBytes(Web("diary03-Feb.html"), second);
    EXPECT_EQ(Undo().status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(Page(), second);
    fs::remove_all(shm);
}

// A generate refused after the page was staged leaves the older record as it was.
TEST_F(TakeBack, AFailedGenerateLeavesNoStagedVersionAndTheOlderRecordStands) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::string afterFirst = Page();
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    const std::string manifest = ReadBytes(dir_ / "undo/manifest.txt");
    WriteBytes(Web("diary03-Feb.html"), "<html>no marker</html>");
    ASSERT_EQ(Generate("third"), GenerateResult::Failed);
    EXPECT_EQ(ReadBytes(dir_ / "undo/manifest.txt"), manifest);
    WriteBytes(Web("diary03-Feb.html"), afterFirst);  // the user puts the page back by hand
    ASSERT_EQ(Generate("fourth"), GenerateResult::Written);
    EXPECT_FALSE(fs::exists(dir_ / "undo/page.next"));
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_EQ(Page(), afterFirst);
}

}  // namespace
}  // namespace qm::test
