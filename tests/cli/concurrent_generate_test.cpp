// Generates on one program folder at once: each run's exit status says
// whether its own entry landed, and no entry is lost or doubled.
#include <random>

#include "example_folder.h"
#include "support/other_run_lock.h"

namespace qm::test {
namespace {

class ConcurrentGenerate : public ExampleFolder {
  protected:
    using Outcomes = std::vector<std::pair<std::string, int>>;  // title, exit status
    // Runs "pairNa" and, up to 40 ms later, "pairNb" (its words after `bFirst`).
    Outcomes RunPair(int n, std::vector<std::string> bFirst = {}) {
        const std::string a = "pair" + std::to_string(n) + "a", b = a.substr(0, a.size() - 1) + "b";
        const Child first = Start(Generate(a), outputs_ / a);
        std::this_thread::sleep_for(std::chrono::milliseconds(offsetMs_(random_)));
        for (const auto& word : Generate(b)) bFirst.push_back(word);
        const Child second = Start(bFirst, outputs_ / b);
        const int statusA = WaitChild(first);
        return {{a, statusA}, {b, WaitChild(second)}};
    }
    // The status says whether the run's entry is in `page`; only a run kept
    // waiting too long may fail.
    void ExpectOwnEntry(const std::string& page, const std::string& title, int status) const {
        const std::string err = ReadBytes(outputs_ / (title + ".err"));
        SCOPED_TRACE(title + " exited " + std::to_string(status) + " (seed " +
                     std::to_string(seed_) + ")\n" + err);
        ASSERT_TRUE(status == 0 || status == 1);
        EXPECT_EQ(Count(page, " " + title + "</h2>"), status == 0 ? 1u : 0u);
        EXPECT_TRUE(status == 0 || err.find("書き込み中だよ") != std::string::npos);
    }
    const unsigned seed_ = std::random_device{}();
    std::mt19937 random_{seed_};
    std::uniform_int_distribution<int> offsetMs_{0, 40};
};

TEST_F(ConcurrentGenerate, EveryRunsStatusMatchesItsOwnEntry) {
    // A page of a few MB, so that reading and replacing it takes a while.
    WriteBytes(dir_ / "diary26-Dec.html",
               "<html>\r\n" + kMarker + "\r\n<!--" + std::string(3 << 20, 'x') + "-->\r\n</html>");
    Outcomes outcomes;
    for (int pair = 0; pair < 30; ++pair) {
        const Outcomes two = RunPair(pair);
        outcomes.insert(outcomes.end(), two.begin(), two.end());
    }
    const std::string page = Page();
    int written = 0;
    for (const auto& [title, status] : outcomes) {
        ExpectOwnEntry(page, title, status);
        written += status == 0;
    }
    EXPECT_EQ(Count(page, "</h2>"), static_cast<std::size_t>(written));
    EXPECT_EQ(Count(page, kMarker), 1u);
    EXPECT_EQ(ReadBytes(dir_ / "diary-current.html"), page);
}

// Two program folders whose sets share the diary folder, each pair of runs
// on a new month's page: they take turns there, so each run's status says
// whether its entry landed, each page is linked once and no run clears away
// the other's files.
TEST_F(ConcurrentGenerate, TwoProgramFoldersSharingADiaryFolderLoseNothing) {
    WriteBytes(dir_ / "original.html",
               "<html>\r\n" + kMarker + "\r\n<!--" + std::string(8 << 20, 'x') + "-->\r\n</html>");
    const TempDir other;
    WriteBytes(other / "QMsys.ini", "[INI]\r\n0=shared\r\n");
    WriteBytes(other / "shared.ini", "[FILEPATH]\r\nORIGINAL=" + (dir_ / "original.html") +
                                         "\r\nTEMPLET=" + (dir_ / "templet.txt") +
                                         "\r\nLOG=" + (dir_ / "log.html") + "\r\nEDIT=1\r\n");
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int pair = 0; pair < 20; ++pair) {
        const int month = pair % 12, year = 27 + pair / 12;
        now_ = "20" + std::to_string(year) + "-" + (month < 9 ? "0" : "") +
               std::to_string(month + 1) + "-07 21:05:09";
        const std::string page = "diary" + std::to_string(year) + "-" + kMonths[month] + ".html";
        const Outcomes outcomes = RunPair(pair, {"--home", other.dir()});
        SCOPED_TRACE(page);
        const std::string text = ReadBytes(dir_ / page);
        for (const auto& [title, status] : outcomes) ExpectOwnEntry(text, title, status);
        if (fs::exists(dir_ / page)) {
            EXPECT_EQ(Count(ReadBytes(dir_ / "log.html"), "<a href =" + page + ">"), 1u);
        }
        for (const auto& e : fs::directory_iterator(dir_.dir()))
            EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    }
}

TEST_F(ConcurrentGenerate, ARunKeptWaitingGivesUpWritingNothing) {
    const std::string log = ReadBytes(dir_ / "log.html");
    // Another run's hold on the program folder for longer than anyone waits.
    const int other = LockAsAnotherRun(dir_ / "QMgenerate.lock");
    ASSERT_GE(other, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(Generate("waiting")), 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    ::close(other);
    EXPECT_GE(waited, std::chrono::seconds(1));
    EXPECT_LT(waited, std::chrono::seconds(10));
    EXPECT_TRUE(Said("書き込み中だよ: ")) << stderr_;
    EXPECT_FALSE(fs::exists(dir_ / "diary26-Dec.html"));
    EXPECT_FALSE(fs::exists(dir_ / "temp.tmp"));
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), log);
    EXPECT_EQ(Run(Generate("after")), 0) << stderr_;  // once let go, the same command writes
    EXPECT_EQ(Count(Page(), " after</h2>"), 1u);
}

}  // namespace
}  // namespace qm::test
