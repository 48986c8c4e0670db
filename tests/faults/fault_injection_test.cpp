// One generate on the example diary (a roll-over with its log link, the
// current copy, the feed and the set's settings write), run once for every file-system
// call it makes, with that call failing.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/diary_folder.h"
#include "support/program_run.h"
#include "support/scoped_env.h"

namespace qm::test {
namespace {

const std::string kPage = "diary26-Dec.html";
const std::string kFeed = "atom.xml";

std::string ErrorName(int error) {
    return error == ENOSPC ? "ENOSPC" : error == EIO ? "EIO" : "EACCES";
}

class FaultInjection : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        old_ = ReadFolder(QM_EXAMPLE_DIR);
        ASSERT_EQ(Generate(0).exitStatus, 0);
        new_ = ReadFolder(home_.dir());
        ASSERT_TRUE(new_.count(kPage));
    }

    // A fresh copy of the example with call `failAt` failing (0: none).
    ProgramRun Generate(long failAt) {
        WriteFolder(home_.dir(), old_);
        return Program(GenerateWords("t"), failAt);
    }
    static std::vector<std::string> GenerateWords(const std::string& title) {
        return {"generate", "--no-upload", "--title", title, "--body", "b"};
    }
    // The program on the folder as it stands, with call `failAt` failing.
    ProgramRun Program(const std::vector<std::string>& words, long failAt,
                       std::vector<std::string> prefix = {}) {
        const auto quillmaker = Quillmaker(home_.dir(), words);
        prefix.insert(prefix.end(), quillmaker.begin(), quillmaker.end());
        return RunProgram(prefix, {{"LD_PRELOAD", QM_FAULT_SHIM},
                                   {"QM_FAULT_DIR", home_.dir()},
                                   {"QM_FAULT_AT", std::to_string(failAt)},
                                   {"QM_FAULT_ERRNO", std::to_string(GetParam())},
                                   {"QM_FAULT_REPORT", report_.dir() + "report"}});
    }
    std::string Home(const std::string& name) const { return ReadBytes(home_ / name); }

    // "CALL PATH" of the call that failed; empty when the run made fewer calls.
    std::string FailedCall() const {
        const std::string report = ReadBytes(report_.dir() + "report");
        const auto at = report.find("failed ");
        return at == std::string::npos ? std::string()
                                       : report.substr(at + 7, report.find('\n', at) - at - 7);
    }

    // The folder, every file in it as before the generate or after it, when
    // `call` failed: a temporary file stays only when removing it was what
    // failed, and the new page may hold only the prototype (the roll-over is
    // a step of its own).
    Files ExpectOldOrNew(const std::string& call) const {
        const Files after = ReadFolder(home_.dir());
        for (const auto& [name, content] : after) {
            if (IsTemporaryName(name) && call.rfind("unlink ", 0) == 0) continue;
            const bool isOld = old_.count(name) && old_.at(name) == content;
            const bool isNew = new_.count(name) && new_.at(name) == content;
            const bool isRolledOver = name == kPage && content == old_.at("original.html");
            EXPECT_TRUE(isOld || isNew || isRolledOver) << name;
        }
        return after;
    }

    TempDir home_;
    TempDir report_;
    Files old_;
    Files new_;
};

// The file a call was about: a temporary file stands for its target.
std::string FileNamed(const std::string& call) {
    std::string name = std::filesystem::path(call.substr(call.find(' ') + 1)).filename();
    if (IsTemporaryName(name)) name = name.substr(1, name.size() - 8);
    return name;
}

TEST_P(FaultInjection, EveryFileIsOldOrNewAndAFailureNamesItsFile) {
    int failedRuns = 0;
    for (long n = 1;; ++n) {
        const ProgramRun run = Generate(n);
        const std::string call = FailedCall();
        if (call.empty()) break;  // the run no longer reaches call n
        ++failedRuns;
        SCOPED_TRACE("call " + std::to_string(n) + ": " + call + "\n" + run.errors);
        const Files after = ExpectOldOrNew(call);
        const bool landed = after.count(kPage) && after.at(kPage) == new_.at(kPage);
        EXPECT_EQ(run.exitStatus == 0, landed) << "exit status " << run.exitStatus;
        if (run.exitStatus != 0) {
            EXPECT_NE(run.errors.find(FileNamed(call)), std::string::npos);
        }
        // The feed may fail alone: the entry stays in the page, the feed is said.
        if (landed && !(after.count(kFeed) && after.at(kFeed) == new_.at(kFeed))) {
            EXPECT_NE(run.errors.find(kFeed), std::string::npos) << "feed left out, unreported";
        }
        if (after.count(kPage) && after.at("log.html").find(kPage) == std::string::npos) {
            EXPECT_NE(run.errors.find("log.html"), std::string::npos) << "unlinked, unreported";
            EXPECT_EQ(Program(GenerateWords("again"), 0).exitStatus, 0);
            EXPECT_EQ(Count(Home("log.html"), "<a href =" + kPage + ">"), 1u) << "not repaired";
        }
    }
    // The run makes well over a hundred calls on the diary's files.
    EXPECT_GT(failedRuns, 100);
}

// An undo of that generate, run once for every file-system call it makes,
// with that call failing: every file is as after the generate or as before
// it, a failure names its file, and the next undo finishes the work.
TEST_P(FaultInjection, AnUndoStoppedByAFailureIsFinishedByTheNext) {
    int failedRuns = 0;
    for (long n = 1;; ++n) {
        ASSERT_EQ(Generate(0).exitStatus, 0);
        const ProgramRun run = Program({"undo"}, n);
        const std::string call = FailedCall();
        if (call.empty()) break;
        ++failedRuns;
        SCOPED_TRACE("call " + std::to_string(n) + ": " + call + "\n" + run.errors);
        ASSERT_GE(run.exitStatus, 0) << "ended by a signal";
        ExpectOldOrNew(call);
        if (run.exitStatus != 0) {
            EXPECT_NE(run.errors.find(FileNamed(call)), std::string::npos);
            EXPECT_EQ(Program({"undo"}, 0).exitStatus, 0);
        }
        EXPECT_FALSE(std::filesystem::exists(home_ / kPage));
        EXPECT_FALSE(std::filesystem::exists(home_ / kFeed));
        EXPECT_EQ(Home("log.html"), old_.at("log.html"));
    }
    EXPECT_GT(failedRuns, 20);
}

// Folder listings fail as well, below any library shim (strace injects the
// failure into the system call): no run ends by a signal, and a generate
// retried after a reported failure writes its entry once.
TEST_P(FaultInjection, AFailedFolderListingEndsNoRunBySignal) {
    if (!std::filesystem::exists("/usr/bin/strace")) GTEST_SKIP() << "strace is not installed";
    for (int n = 1; n <= 10; ++n) {
        for (const bool undo : {false, true}) {
            SCOPED_TRACE("listing " + std::to_string(n) + (undo ? " of undo" : " of generate"));
            ASSERT_EQ(Generate(0).exitStatus, 0);
            // A leak check cannot work under strace's ptrace: in a sanitizer
            // build it would fail every traced run at its exit.
            const char* asan = std::getenv("ASAN_OPTIONS");
            const std::string noLeakCheck = std::string(asan ? asan : "") + ":detect_leaks=0";
            const ScopedEnv traced("ASAN_OPTIONS", noLeakCheck.c_str());
            const ProgramRun run = Program(
                undo ? std::vector<std::string>{"undo"} : GenerateWords("second"), 0,
                {"/usr/bin/strace", "-qq", "-o", "/dev/null", "-e", "trace=getdents64", "-e",
                 "inject=getdents64:error=" + ErrorName(GetParam()) +
                     ":when=" + std::to_string(n)});
            ASSERT_GE(run.exitStatus, 0) << "ended by a signal\n" << run.errors;
            if (undo) {
                EXPECT_EQ(std::filesystem::exists(home_ / kPage), run.exitStatus != 0);
                continue;
            }
            if (run.exitStatus != 0) {
                EXPECT_EQ(Program(GenerateWords("second"), 0).exitStatus, 0);
            }
            EXPECT_EQ(Count(Home(kPage), " second</h2>"), 1u) << run.errors;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, FaultInjection, ::testing::Values(ENOSPC, EIO, EACCES),
                         [](const auto& info) { return ErrorName(info.param); });

}  // namespace
}  // namespace qm::test
