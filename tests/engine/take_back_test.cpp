#include "engine/take_back.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "engine_fixture.h"
#include "platform/file_stamp.h"
#include "support/other_run_lock.h"
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
    bool TwoEntries() {
        return Generate("first") == GenerateResult::Written &&
               Generate("second") == GenerateResult::Written;
    }
    TakeBackOutcome Undo() { return TakeBackLastEntry(dir_.dir(), false, host_); }
    // Every file a take back may touch, to check that a refusal touched none.
    std::vector<std::string> Files() const {
        return {Page(), Page("diary03-Mar.html"), Page("log.html"), Page("diary-current.html")};
    }
};

TEST_F(TakeBack, AFileChangedSinceStopsItBeforeAnythingIsTouched) {
    ASSERT_TRUE(TwoEntries());
    WriteBytes(Web("diary-current.html"), Page("diary-current.html") + "hand edit");
    const std::vector<std::string> edited = Files();
    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(outcome.file, Web("diary-current.html"));
    EXPECT_EQ(Files(), edited);  // the page, listed first, was not restored either
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
#ifndef _WIN32
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
#endif

// When this generate's record cannot be kept, the one before it must not
// stay behind: it would take back an entry that is no longer the last.
#ifndef _WIN32
TEST_F(TakeBack, ARecordThatCannotBeKeptLeavesNoOlderOne) {
    ASSERT_TRUE(TwoEntries());
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
#endif

// A generate running elsewhere holds the program folder: taking back waits,
// then gives up touching nothing.
TEST_F(TakeBack, WaitsForARunningGenerateThenGivesUpTouchingNothing) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::vector<std::string> before = Files();
    const int other = LockAsAnotherRun(dir_ / "QMgenerate.lock");
    ASSERT_GE(other, 0);
    host_.messages.clear();
    EXPECT_EQ(Undo().status, TakeBackStatus::Busy);
    ::close(other);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
}

// A record folder on another file system than the pages keeps a copy; the
// same bytes written again in place are a change all the same.
TEST_F(TakeBack, ARecordOnAnotherFileSystemKeepsACopy) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no second file system at /dev/shm";
    const fs::path shm = "/dev/shm/qm-take-back-" + std::to_string(::getpid());
    fs::create_directory(shm);
    web_ = shm.string() + "/";
    WriteBytes(Web("original.html"), kFolderPrototype);
    WriteBytes(Web("log.html"), kLogMarker);
    SetKey("ORIGINAL", Web("original.html"));
    SetKey("LOG", Web("log.html"));
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

// The record folder is the program's own: a link in its place is never
// followed nor emptied, and the record that cannot be kept is reported.
#ifndef _WIN32  // symbolic links need a privilege Windows rarely gives
TEST_F(TakeBack, AnUndoFolderThatIsALinkIsNeverFollowed) {
    const TempDir elsewhere;
    WriteBytes(elsewhere / "page.before", "someone's");
    WriteBytes(elsewhere / "manifest.txt", "someone's");
    fs::create_directory_symlink(elsewhere.dir(), dir_ / "undo");
    ASSERT_TRUE(TwoEntries());
    EXPECT_TRUE(ShownHas(std::string(msg::kRecordLostText) + "\r\n" + (dir_ / "undo/: ")))
        << Shown();
    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::Failed);
    EXPECT_EQ(outcome.problem, dir_ / "undo/: " + Sjis(msg::kRecordFolderForeignReason));
    EXPECT_EQ(ReadBytes(elsewhere / "page.before"), "someone's");
    EXPECT_EQ(ReadBytes(elsewhere / "manifest.txt"), "someone's");
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.dir()), fs::directory_iterator()), 2);
}
#endif

// The page line of `manifest` with its earlier version, that version's
// figures, the figures after and the path replaced.
std::string WithPageLine(const std::string& manifest, const std::string& backup,
                         const std::string& backupFigures, const std::string& after,
                         const std::string& path) {
    const auto at = manifest.find("file\tpage\t");
    const auto end = manifest.find('\n', at);
    return manifest.substr(0, at) + "file\tpage\t" + backup + "\t" + backupFigures + "\t" + after +
           "\t" + path + manifest.substr(end);
}

// A record edited by hand can name only the set's files: anything else is
// refused, with the reason, before any file (or mode) is touched.
TEST_F(TakeBack, ARecordNamingOtherFilesTouchesNothing) {
    const TempDir outside;
    const std::string victim = outside / "victim.txt", secret = outside / "secret.txt";
    WriteBytes(victim, "victim");
    WriteBytes(secret, "secret");
    ::chmod(victim.c_str(), 0444);
    ASSERT_TRUE(TwoEntries());
    const std::string manifest = ReadBytes(dir_ / "undo/manifest.txt");
    const std::string before = dir_ / "undo/page.before";
    const std::string beforeFigures = StampOfFile(N(before))->Text();
    const std::string pageFigures = StampOfFile(N(Web("diary03-Feb.html")))->Text();
    const std::string victimFigures = StampOfFile(N(victim))->Text();
    const std::string upToOutside =
        "../../" + fs::path(outside.dir()).parent_path().filename().string();
    const std::vector<std::string> files = Files();
    const struct {
        const char* what;
        std::string manifest;
        bool linkBefore;
    } cases[] = {
        {"outside page, its figures", WithPageLine(manifest, "-", "-", victimFigures, victim),
         false},
        {"outside page, wrong figures",
         WithPageLine(manifest, "page.before", beforeFigures, "1:2:3:4:5", victim), false},
        {"page named through ..",
         WithPageLine(manifest, "page.before", beforeFigures, pageFigures,
                      web_ + "../" + upToOutside + "/victim.txt"),
         false},
        {"earlier version outside",
         WithPageLine(manifest, upToOutside + "/secret.txt", StampOfFile(N(secret))->Text(),
                      pageFigures, Web("diary03-Feb.html")),
         false},
        {"earlier version a link", manifest, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir_ / "undo/manifest.txt", c.manifest);
        if (c.linkBefore) {
#ifdef _WIN32
            continue;  // symbolic links need a privilege Windows rarely gives
#endif
            fs::remove(before);
            fs::create_symlink(secret, before);
        }
        const TakeBackOutcome outcome = Undo();
        EXPECT_EQ(outcome.status, TakeBackStatus::Failed);
        EXPECT_NE(outcome.problem.find(": "), std::string::npos) << outcome.problem;
        EXPECT_EQ(Files(), files);
        EXPECT_EQ(ReadBytes(victim), "victim");
        EXPECT_EQ(ReadBytes(secret), "secret");
        EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0444));
    }
}

// A current copy whose name the generate refuses is not staged either: the
// file that name leads to gets no second name in the record.
TEST_F(TakeBack, ARefusedCurrentCopyIsNeverStaged) {
    const TempDir outside;
    WriteBytes(outside / "victim.txt", "victim");
    const std::string upToOutside =
        "../" + fs::path(outside.dir()).parent_path().filename().string();
    SetKey("CURRENTNAME", upToOutside + "/victim.txt");
    ASSERT_TRUE(TwoEntries());
    EXPECT_EQ(fs::hard_link_count(outside / "victim.txt"), 1u);
    EXPECT_FALSE(fs::exists(dir_ / "undo/copy.before"));
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_EQ(ReadBytes(outside / "victim.txt"), "victim");
}

// What killed runs left is cleared: a take back's copy beside the page by the
// next take back, a generate's record temporaries by the next generate; a
// temporary whose writer still holds it stays.
TEST_F(TakeBack, LeftoversOfKilledRunsGoButLiveTemporariesStay) {
    ASSERT_TRUE(TwoEntries());
    const std::string killedUndo = Web(".diary03-Feb.html.Ab12Cd"),
                      killedGenerate = dir_ / "undo/.manifest.txt.Qw12Er",
                      live = Web(".diary03-Feb.html.Live01");
    for (const auto& path : {killedUndo, killedGenerate, live}) WriteBytes(path, "half");
    const int writer = LockAsAnotherRun(live);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(Undo().status, TakeBackStatus::TakenBack);
    EXPECT_FALSE(fs::exists(killedUndo));
    EXPECT_FALSE(fs::exists(killedGenerate));
    WriteBytes(killedGenerate, "half");
    ASSERT_EQ(Generate("third"), GenerateResult::Written);
    EXPECT_FALSE(fs::exists(killedGenerate));
    EXPECT_TRUE(fs::exists(live));
    ::close(writer);
}

// A record that cannot be read is a failure that says why, not "nothing to take back".
TEST_F(TakeBack, AnUnreadableRecordSaysWhy) {
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    fs::remove(dir_ / "undo/manifest.txt");
    fs::create_directory(dir_ / "undo/manifest.txt");
    const TakeBackOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, TakeBackStatus::Failed);
    EXPECT_EQ(outcome.problem, dir_ / "undo/manifest.txt: " + std::strerror(EISDIR));
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
