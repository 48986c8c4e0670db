// Runs of the real program's generate killed with SIGKILL at moments spread
// over a whole run, on a page of a few megabytes. After each kill every file
// is exactly as before or exactly as a finished run leaves it, and the log
// links every page there is; one clean run after it finishes the work, links
// every page and leaves no temporary file behind.
//
// QM_CRASH_RUNS (default 200) is the number of killed runs, shared by the
// three set-ups; raise it for a longer run by hand.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/diary_folder.h"
#include "support/other_run_lock.h"
#include "support/program_run.h"

namespace qm::test {
namespace {

using std::chrono::microseconds;

const std::string kPage = "diary26-Dec.html";
const std::string kCurrent = "diary-current.html";

struct Arrangement {
    const char* name;
    bool pageExists;   // false: the run rolls over to a new page and links it
    bool currentCopy;  // the whole page is copied to diary-current.html
    bool undo;         // the run killed is an undo of a finished generate
    bool logHeld;      // another program holds the log page through the killed runs
    bool feed;         // the set keeps a feed, which holds an entry already
} const kArrangements[] = {
    {"PageExists", true, false, false, false, false},
    {"RollOverWithLogPage", false, false, false, false, false},
    {"CurrentCopyAndFeed", true, true, false, false, true},
    {"UndoOfThePageItsCopyAndFeed", true, true, true, false, true},
    {"RollOverWithTheLogPageHeld", false, false, false, true, false},
};
const std::string kFeed = "atom.xml";
const std::string kFeedEntry = "  <entry>\n";
constexpr int kArrangementCount = std::size(kArrangements);

// This arrangement's share of QM_CRASH_RUNS, split as evenly as it goes.
int Runs(int arrangement) {
    const char* text = std::getenv("QM_CRASH_RUNS");
    const int total = text ? std::atoi(text) : 200;
    return total / kArrangementCount + (arrangement < total % kArrangementCount ? 1 : 0);
}

std::string TextUpToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

// Temporary files, and pages the log page does not link.
std::pair<int, int> Leftovers(const Files& files) {
    int temps = 0, unlinked = 0;
    for (const auto& [name, content] : files) {
        temps += IsTemporaryName(name) ? 1 : 0;
        const bool page = name.starts_with("diary") && name.ends_with(".html") && name != kCurrent;
        if (page && files.at("log.html").find("<a href =" + name + ">") == std::string::npos)
            ++unlinked;
    }
    return {temps, unlinked};
}

class Crash : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        const Arrangement& arrangement = kArrangements[GetParam()];
        prototype_ = "<html>\r\n" + kMarker + "\r\n" + std::string(3 << 20, 'x') + "</html>";
        old_ = {{"QMsys.ini", "[INI]\r\n0=diary\r\n"},
                {"diary.ini", std::string("[FILEPATH]\r\nORIGINAL=original.html\r\n"
                                          "TEMPLET=templet.txt\r\nLOG=log.html\r\nEDIT=1\r\n"
                                          "CURRENT=") +
                                  (arrangement.currentCopy ? "1" : "0") + "\r\n" +
                                  (arrangement.feed ? "[FEED]\r\nFILE=" + kFeed +
                                                          "\r\nSITE=https://example.org/\r\n"
                                                    : "")},
                {"original.html", prototype_},
                {"templet.txt", "<h2>*!</h2>\r\n*?\r\n"},
                {"log.html", kLogMarker + "\r\n"}};
        if (arrangement.pageExists) {
            old_[kPage] = prototype_;
            old_["log.html"] = kLogMarker + "\r\n<a href =" + kPage + ">old</a>";
        }
        WriteFolder(home_.dir(), old_);
        ASSERT_EQ(Generate("clean").exitStatus, 0);
        cleanEntryFile_ = ReadBytes(home_ / "temp.tmp");
        linkedLog_ = ReadBytes(home_ / "log.html");
        cleanLastEntry_ = ReadBytes(home_ / "QMlastentry.txt");
        if (arrangement.feed) old_[kFeed] = ReadBytes(home_ / kFeed);

        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(Arrange());
            ASSERT_EQ(Timed(Killed()).exitStatus, 0);
        }
        // An undo's files are new before it and old after it.
        if (arrangement.undo) {
            ASSERT_TRUE(Arrange());
        }
        new_ = ReadFolder(home_.dir());
        held_.reset();
    }

    // The folder as the run to be killed finds it; for an undo, after a generate.
    bool Arrange() {
        held_.reset();
        WriteFolder(home_.dir(), old_);
        if (kArrangements[GetParam()].logHeld) {
            // As another program would hold it, while held_ lives.
            const int fd = LockAsAnotherRun(home_ / "log.html");
            held_ = std::shared_ptr<void>(nullptr, [fd](void*) { ::close(fd); });
        }
        return !kArrangements[GetParam()].undo || Generate("killed").exitStatus == 0;
    }
    ProgramRun Killed(std::optional<microseconds> killAfter = {}) {
        if (!kArrangements[GetParam()].undo) return Generate("killed", killAfter);
        started_ = std::chrono::steady_clock::now();
        return RunProgram(Quillmaker(home_.dir(), {"undo", "--no-upload"}), {}, killAfter);
    }

    // A finished run, timed: the kills are spread over the middle of the last
    // five such times, as other work on the machine slows runs down.
    ProgramRun Timed(ProgramRun run) {
        times_.push_back(
            std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - started_));
        if (times_.size() > 5) times_.erase(times_.begin());
        return run;
    }
    microseconds RunTime() const {
        auto sorted = times_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

    ProgramRun Generate(const std::string& title, std::optional<microseconds> killAfter = {}) {
        started_ = std::chrono::steady_clock::now();
        return RunProgram(
            Quillmaker(home_.dir(), {"generate", "--no-upload", "--title", title, "--body", "b"}),
            {}, killAfter);
    }

    // Whether every file a kill left is old or new; a rolled-over page may
    // hold only the prototype, the roll-over being a finished step of its own.
    bool OldOrNew(const Files& files) const {
        bool whole = true;
        for (const auto& [name, content] : files) {
            const bool isOld = old_.count(name) && old_.at(name) == content;
            const bool isNew = new_.count(name) && new_.at(name) == content;
            const bool rolledOver = name == kPage && !old_.count(name) && content == prototype_;
            if (IsTemporaryName(name) || isOld || isNew || rolledOver) continue;
            ADD_FAILURE() << name << " is neither old nor new (" << content.size() << " bytes)";
            whole = false;
        }
        return whole;
    }

    // What the clean run must leave: the finished state, with the clean entry
    // on top of whatever page the kill left; after an undo, the state before
    // the generate, less what an undo leaves (the entry file, the recorded
    // page, the lock file, the last entry's words).
    Files AfterClean(const Files& killed, const Files& cleaned) const {
        if (kArrangements[GetParam()].undo) {
            Files expected = old_;
            for (const char* kept : {"temp.tmp", "diary.ini", "QMgenerate.lock", "QMlastentry.txt"})
                expected[kept] = new_.at(kept);
            return expected;
        }
        Files expected = new_;
        expected["log.html"] = linkedLog_;
        const auto page = killed.find(kPage);
        std::string text = TextUpToNul(page != killed.end() ? page->second : prototype_);
        text.replace(text.find(kMarker), kMarker.size(), TextUpToNul(cleanEntryFile_));
        expected[kPage] = text;
        if (kArrangements[GetParam()].currentCopy) expected[kCurrent] = expected[kPage];
        // The feed the kill left, the clean run's entry on top: nothing lost or doubled.
        if (kArrangements[GetParam()].feed && cleaned.count(kFeed)) {
            const std::string& feed = cleaned.at(kFeed);
            const std::size_t top = feed.find(kFeedEntry);
            std::string entry = feed.substr(top, feed.find(kFeedEntry, top + 1) - top);
            if (entry.find(">clean</title>") == std::string::npos) entry.clear();
            std::string before = killed.at(kFeed);
            expected[kFeed] = before.insert(before.find(kFeedEntry), entry);
        }
        expected["temp.tmp"] = cleanEntryFile_;
        expected["QMlastentry.txt"] = cleanLastEntry_;
        return expected;
    }

    TempDir home_;
    std::string prototype_, cleanEntryFile_, linkedLog_, cleanLastEntry_;
    Files old_, new_;
    std::vector<microseconds> times_;
    std::chrono::steady_clock::time_point started_;
    std::shared_ptr<void> held_;
};

TEST_P(Crash, AKillLeavesOldOrNewFilesAndTheNextRunCleansUp) {
    const Arrangement& arrangement = kArrangements[GetParam()];
    const int runs = Runs(GetParam());
    int ended = 0, broken = 0, tempsAfterKill = 0, unlinkedAfterKill = 0, tempsAfterClean = 0,
        unlinkedAfterClean = 0, cleanWrong = 0;
    for (int i = 0; i < runs; ++i) {
        // Moments spread evenly from the start to a little past the end.
        const microseconds at(RunTime().count() * (2 * i + 1) * 11 / (20 * runs));
        SCOPED_TRACE("killed after " + std::to_string(at.count()) + " us");
        ASSERT_TRUE(Arrange());
        ended += Killed(at).exitStatus == 0 ? 1 : 0;
        held_.reset();
        const Files afterKill = ReadFolder(home_.dir());
        broken += OldOrNew(afterKill) ? 0 : 1;
        const auto [temps, unlinked] = Leftovers(afterKill);
        tempsAfterKill += temps;
        // A page the held log page could not link waits for the next run.
        if (!arrangement.logHeld) unlinkedAfterKill += unlinked;

        // The next run: a generate, or an undo that finishes (or finds done) the work.
        const ProgramRun clean = arrangement.undo ? Timed(Killed()) : Timed(Generate("clean"));
        EXPECT_TRUE(clean.exitStatus == 0 || (arrangement.undo && clean.exitStatus == 1))
            << clean.errors;
        const Files afterClean = ReadFolder(home_.dir());
        const auto [tempsLeft, unlinkedLeft] = Leftovers(afterClean);
        tempsAfterClean += tempsLeft;
        unlinkedAfterClean += unlinkedLeft;
        cleanWrong += afterClean == AfterClean(afterKill, afterClean) ? 0 : 1;
    }
    std::printf(
        "%s: %d kills over a %lld us run (%d after it ended): %d files neither old nor new; "
        "after the kills %d temporary files, %d unlinked pages; after the clean runs %d "
        "temporary files, %d unlinked pages, %d wrong results\n",
        kArrangements[GetParam()].name, runs, static_cast<long long>(RunTime().count()), ended,
        broken, tempsAfterKill, unlinkedAfterKill, tempsAfterClean, unlinkedAfterClean, cleanWrong);
    EXPECT_EQ(broken + unlinkedAfterKill + tempsAfterClean + unlinkedAfterClean + cleanWrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Arrangements, Crash, ::testing::Range(0, kArrangementCount),
                         [](const auto& info) {
                             return std::string(kArrangements[info.param].name);
                         });

}  // namespace
}  // namespace qm::test
