// Runs of the real program's generate killed with SIGKILL at moments spread
// over a whole run, on a page of a few megabytes. After each kill every file
// is exactly as before or exactly as a finished run leaves it, and the log
// links every page there is; one clean run after it finishes the work, links
// every page and leaves no temporary file behind.
//
// QM_CRASH_RUNS (default 200) is the number of killed runs, shared by the
// three set-ups; raise it for a longer run by hand.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

using std::chrono::microseconds;

const std::string kInsertMarker = Utf8ToCp932("<!-- ここに挿入 -->").value();
const std::string kLogMarker = Utf8ToCp932("<!-- ここにログ -->").value();
const std::string kPage = "diary26-Dec.html";
const std::string kCurrent = "diary-current.html";
const char* const kNow = "2026-12-07 21:05:09";

struct Arrangement {
    const char* name;
    bool pageExists;   // false: the run rolls over to a new page and links it
    bool currentCopy;  // the whole page is copied to diary-current.html
};

const Arrangement kSetups[] = {
    {"PageExists", true, false},
    {"RollOverWithLogPage", false, false},
    {"CurrentCopyOfTheWholePage", true, true},
};

int TotalRuns() {
    const char* text = std::getenv("QM_CRASH_RUNS");
    return text ? std::atoi(text) : 200;
}

// The set-up's share of the runs: the total split as evenly as it goes.
int RunsFor(int setup) {
    const int total = TotalRuns();
    return total / 3 + (setup < total % 3 ? 1 : 0);
}

std::string TextUpToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

bool IsDiaryPage(const std::string& name) {
    return name.rfind("diary", 0) == 0 && name != kCurrent && name.ends_with(".html");
}

struct Tally {
    int runs = 0, endedFirst = 0, pageOld = 0, pageRolledOver = 0, pageNew = 0;
    int tempsAfterKill = 0, tempsAfterClean = 0, unlinkedAfterKill = 0, unlinkedAfterClean = 0;
    int neitherOldNorNew = 0, cleanRunFailed = 0, cleanRunWrong = 0;
};

class Crash : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        const Arrangement& setup = kSetups[GetParam()];
        const std::string filler(3 << 20, 'x');
        prototype_ =
            "<html><body>\r\n" + kInsertMarker + "\r\n<p>" + filler + "</p>\r\n</body></html>";
        old_["QMsys.ini"] = "[STATE]\r\nUP=0\r\nCURRENT=0\r\n[INI]\r\n0=diary\r\n";
        old_["diary.ini"] = std::string(
                                "[FILEPATH]\r\nORIGINAL=original.html\r\nTEMPLET=templet.txt\r\n"
                                "LOG=log.html\r\nEDIT=1\r\nCURRENT=") +
                            (setup.currentCopy ? "1" : "0") + "\r\n";
        old_["original.html"] = prototype_;
        old_["templet.txt"] = "<h2>*!</h2>\r\n*?\r\n";
        old_["log.html"] = "<html>" + kLogMarker + "\r\n</html>";
        if (setup.pageExists) {
            old_[kPage] = prototype_;
            old_["log.html"] = "<html>" + kLogMarker + "\r\n<a href =" + kPage + ">old</a></html>";
        }

        WriteFolder(home_.dir(), old_);
        ASSERT_EQ(Generate("clean").exitStatus, 0);
        cleanEntry_ = TextUpToNul(ReadBytes(home_ / "temp.tmp"));
        cleanEntryFile_ = ReadBytes(home_ / "temp.tmp");

        // The finished run, timed: the kills are spread over this long.
        WriteFolder(home_.dir(), old_);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(Generate("killed").exitStatus, 0);
        runTime_ =
            std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - start);
        new_ = ReadFolder(home_.dir());
    }

    ProgramRun Generate(const std::string& title,
                        std::optional<microseconds> killAfter = std::nullopt) {
        return RunProgram({QM_PROGRAM, "--home", home_.dir(), "--now", kNow, "generate",
                           "--no-upload", "--title", title, "--body", "b"},
                          {}, killAfter);
    }

    // Counts the pages the log page does not link.
    static int Unlinked(const Files& files) {
        int unlinked = 0;
        for (const auto& [name, content] : files) {
            const std::string link = "<a href =" + name + ">";
            if (IsDiaryPage(name) && files.at("log.html").find(link) == std::string::npos)
                ++unlinked;
        }
        return unlinked;
    }

    static int Temporaries(const Files& files) {
        int temps = 0;
        for (const auto& [name, content] : files) temps += IsTemporaryName(name) ? 1 : 0;
        return temps;
    }

    // Checks the files a kill left; false when one is neither old nor new.
    bool OldOrNew(const Files& files, Tally& tally) const {
        bool whole = true;
        for (const auto& [name, content] : files) {
            if (IsTemporaryName(name)) continue;
            const bool isOld = old_.count(name) && old_.at(name) == content;
            const bool isNew = new_.count(name) && new_.at(name) == content;
            // A rolled-over page before the entry went in: the roll-over is finished.
            const bool rolledOver = name == kPage && !old_.count(name) && content == prototype_;
            if (!(isOld || isNew || rolledOver)) {
                ADD_FAILURE() << name << " is neither old nor new (" << content.size() << " bytes)";
                whole = false;
            }
        }
        const auto page = files.find(kPage);
        if (page == files.end() || (old_.count(kPage) && page->second == old_.at(kPage)))
            ++tally.pageOld;
        else if (page->second == prototype_)
            ++tally.pageRolledOver;
        else
            ++tally.pageNew;
        return whole;
    }

    // What the clean run must leave: the finished state, with the clean entry
    // on top of whatever page the kill left.
    Files AfterClean(const Files& killed) const {
        Files expected = new_;
        const auto page = killed.find(kPage);
        const std::string base = TextUpToNul(page != killed.end() ? page->second : prototype_);
        std::string text = base;
        text.replace(base.find(kInsertMarker), kInsertMarker.size(), cleanEntry_);
        expected[kPage] = text + '\0';
        if (kSetups[GetParam()].currentCopy) expected[kCurrent] = expected[kPage];
        expected["temp.tmp"] = cleanEntryFile_;
        return expected;
    }

    TempDir home_;
    std::string prototype_;
    std::string cleanEntry_;
    std::string cleanEntryFile_;
    Files old_;
    Files new_;
    microseconds runTime_{};
};

TEST_P(Crash, AKillLeavesOldOrNewFilesAndTheNextRunCleansUp) {
    const int runs = RunsFor(GetParam());
    Tally tally;
    for (int i = 0; i < runs; ++i) {
        // Moments spread evenly from the start to a little past the end.
        const microseconds at(runTime_.count() * (2 * i + 1) * 11 / (20 * runs));
        SCOPED_TRACE("killed after " + std::to_string(at.count()) + " us");
        WriteFolder(home_.dir(), old_);
        const ProgramRun killed = Generate("killed", at);
        ++tally.runs;
        if (killed.exitStatus == 0) ++tally.endedFirst;
        const Files afterKill = ReadFolder(home_.dir());
        if (!OldOrNew(afterKill, tally)) ++tally.neitherOldNorNew;
        tally.tempsAfterKill += Temporaries(afterKill);
        tally.unlinkedAfterKill += Unlinked(afterKill);

        const ProgramRun clean = Generate("clean");
        if (clean.exitStatus != 0) {
            ++tally.cleanRunFailed;
            ADD_FAILURE() << "clean run: " << clean.errors;
        }
        const Files afterClean = ReadFolder(home_.dir());
        tally.tempsAfterClean += Temporaries(afterClean);
        tally.unlinkedAfterClean += Unlinked(afterClean);
        if (afterClean != AfterClean(afterKill)) {
            ++tally.cleanRunWrong;
            ADD_FAILURE() << "the clean run did not leave the expected files";
        }
    }
    std::printf(
        "%s: %d runs of %lld us; ended before the kill %d; page old %d, rolled over %d, new %d; "
        "temporary files after the kills %d, after the clean runs %d; unlinked pages after the "
        "kills %d, after the clean runs %d\n",
        kSetups[GetParam()].name, tally.runs, static_cast<long long>(runTime_.count()),
        tally.endedFirst, tally.pageOld, tally.pageRolledOver, tally.pageNew, tally.tempsAfterKill,
        tally.tempsAfterClean, tally.unlinkedAfterKill, tally.unlinkedAfterClean);
    EXPECT_EQ(tally.neitherOldNorNew, 0);
    EXPECT_EQ(tally.unlinkedAfterKill, 0);
    EXPECT_EQ(tally.unlinkedAfterClean, 0);
    EXPECT_EQ(tally.tempsAfterClean, 0);
    EXPECT_EQ(tally.cleanRunFailed + tally.cleanRunWrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Setups, Crash, ::testing::Range(0, 3),
                         [](const auto& info) { return std::string(kSetups[info.param].name); });

}  // namespace
}  // namespace qm::test
