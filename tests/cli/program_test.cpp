// The program as the user starts it: the command line never loads the
// window toolkit, and without a subcommand the window program takes over.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

class Program : public ::testing::Test {
  protected:
    Program() {
        for (auto& e : fs::directory_iterator(QM_EXAMPLE_DIR)) {
            fs::copy(e.path(), dir_ / e.path().filename().string());
        }
    }
    // Runs `program` with `arguments` under `environment`; what the dynamic
    // loader reports goes to stderr.txt with the program's own messages.
    int Run(const std::string& program, const std::string& arguments,
            const std::string& environment = "") {
        const std::string command = environment + " '" + program + "' " + arguments +
                                    " >/dev/null 2>'" + (dir_ / "stderr.txt") + "'";
        const int status = std::system(command.c_str());
        stderr_ = ReadBytes(dir_ / "stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool LoadedQt() const { return stderr_.find("libQt6") != std::string::npos; }

    TempDir dir_;
    std::string stderr_;
    const std::string home_ = "--home '" + dir_.dir() + "' --now '2026-12-07 21:05:09'";
};

TEST_F(Program, HelpAndGenerateRunWithoutTheWindowToolkit) {
    ASSERT_EQ(Run(QM_PROGRAM, "--help", "LD_DEBUG=libs"), 0);
    EXPECT_NE(stderr_.find("libstdc++"), std::string::npos) << "the loader reported nothing";
    EXPECT_FALSE(LoadedQt());
    ASSERT_EQ(Run(QM_PROGRAM, home_ + " generate --title t --body b", "LD_DEBUG=libs"), 0);
    EXPECT_FALSE(LoadedQt());
    EXPECT_TRUE(fs::exists(dir_ / "diary26-Dec.html"));
    ASSERT_EQ(Run(QM_PROGRAM, home_ + " no-such-command", "LD_DEBUG=libs"), 2);
    EXPECT_FALSE(LoadedQt());
}

TEST_F(Program, WithoutASubcommandTheWindowProgramBesideItOpensTheWindow) {
    const fs::path window = fs::path(QM_PROGRAM).parent_path() / "quillmaker-window";
    if (!fs::exists(window)) GTEST_SKIP() << "built without the windows";
    // Today's page exists, so no roll-over message waits for an answer.
    fs::copy_file(dir_ / "original.html", dir_ / "diary26-Dec.html");
    ASSERT_EQ(Run("timeout", "60 '" + std::string(QM_PROGRAM) + "' " + home_,
                  "LD_DEBUG=libs QT_QPA_PLATFORM=offscreen QUILLMAKER_EXIT_AFTER_FIRST_FRAME=1"),
              0)
        << stderr_;
    EXPECT_TRUE(LoadedQt());
    // The window loaded the set of the given folder and recorded its page.
    EXPECT_NE(ReadBytes(dir_ / "example.ini").find("QUILL=" + dir_.dir() + "diary26-Dec.html"),
              std::string::npos);
}

TEST_F(Program, AMissingWindowProgramIsReported) {
    const std::string alone = dir_ / "quillmaker";
    fs::copy_file(QM_PROGRAM, alone);
    EXPECT_EQ(Run(alone, home_), 1);
    EXPECT_NE(stderr_.find("cannot start the window program " + dir_.dir() + "quillmaker-window"),
              std::string::npos)
        << stderr_;
    // The command line needs nothing beside it.
    EXPECT_EQ(Run(alone, home_ + " generate --title t --body b"), 0) << stderr_;
}

}  // namespace
}  // namespace qm
