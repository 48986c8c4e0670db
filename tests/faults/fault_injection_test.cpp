// One generate on the example diary (a roll-over with its log link, the
// current copy and the set's settings write), run once for every file-system
// call it makes, with that call failing.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/diary_folder.h"
#include "support/program_run.h"

namespace qm::test {
namespace {

const std::string kPage = "diary26-Dec.html";

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
        return RunProgram(
            Quillmaker(home_.dir(), {"generate", "--no-upload", "--title", "t", "--body", "b"}),
            {{"LD_PRELOAD", QM_FAULT_SHIM},
             {"QM_FAULT_DIR", home_.dir()},
             {"QM_FAULT_AT", std::to_string(failAt)},
             {"QM_FAULT_ERRNO", std::to_string(GetParam())},
             {"QM_FAULT_REPORT", report_.dir() + "report"}});
    }

    // "CALL PATH" of the call that failed; empty when the run made fewer calls.
    std::string FailedCall() const {
        const std::string report = ReadBytes(report_.dir() + "report");
        const auto at = report.find("failed ");
        return at == std::string::npos ? std::string()
                                       : report.substr(at + 7, report.find('\n', at) - at - 7);
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
        const Files after = ReadFolder(home_.dir());

        for (const auto& [name, content] : after) {
            // A temporary file stays only when removing it was what failed.
            if (IsTemporaryName(name) && call.rfind("unlink ", 0) == 0) continue;
            const bool isOld = old_.count(name) && old_.at(name) == content;
            const bool isNew = new_.count(name) && new_.at(name) == content;
            // The roll-over is a step of its own: the new page may hold only the prototype.
            const bool isRolledOver = name == kPage && content == old_.at("original.html");
            EXPECT_TRUE(isOld || isNew || isRolledOver) << name;
        }
        const bool landed = after.count(kPage) && after.at(kPage) == new_.at(kPage);
        EXPECT_EQ(run.exitStatus == 0, landed) << "exit status " << run.exitStatus;
        if (run.exitStatus != 0) {
            EXPECT_NE(run.errors.find(FileNamed(call)), std::string::npos);
        }
        if (after.count(kPage) && after.at("log.html").find(kPage) == std::string::npos) {
            EXPECT_NE(run.errors.find("log.html"), std::string::npos) << "unlinked, unreported";
        }
    }
    // The run makes well over a hundred calls on the diary's files.
    EXPECT_GT(failedRuns, 100);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FaultInjection, ::testing::Values(ENOSPC, EIO, EACCES), [](const auto& info) {
        return std::string(info.param == ENOSPC ? "ENOSPC" : info.param == EIO ? "EIO" : "EACCES");
    });

}  // namespace
}  // namespace qm::test
