// `quillmaker undo` on the real program and a fresh copy of the example diary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class UndoProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto& e : std::filesystem::directory_iterator(QM_EXAMPLE_DIR)) {
            std::filesystem::copy(e.path(), dir_ / e.path().filename().string());
        }
    }

    // Runs a copy in bin/ as an installed system would, so the test decides
    // what its helper folder (libexec/quillmaker/) holds.
    void UseInstalledCopy() {
        std::filesystem::create_directory(dir_ / "bin");
        program_ = dir_ / "bin/quillmaker";
        std::filesystem::copy_file(QM_PROGRAM, program_);
    }

    int Run(const std::string& now, const std::string& args, std::string* out = nullptr) {
        const std::string command = "'" + program_ + "' --home '" + dir_.dir() + "' --now '" + now +
                                    "' " + args + " 2>'" + (dir_ / "stderr.txt") + "'";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        std::string text;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        const int status = ::pclose(pipe);
        if (out) *out = text;
        stderr_ = ReadBytes(dir_ / "stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Page() const { return ReadBytes(dir_ / "diary26-Dec.html"); }

    TempDir dir_;
    std::string program_ = QM_PROGRAM;
    std::string stderr_;
};

TEST_F(UndoProgram, AfterTwoGeneratesThePageIsAsAfterTheFirst) {
    ASSERT_EQ(Run("2026-12-07 21:05:09", "generate --title 一 --body 朝"), 0) << stderr_;
    const std::string afterFirst = Page();
    const std::string copyAfterFirst = ReadBytes(dir_ / "diary-current.html");
    ASSERT_EQ(Run("2026-12-08 21:05:09", "generate --title 二 --body 夜"), 0) << stderr_;
    ASSERT_NE(Page(), afterFirst);

    std::string out;
    ASSERT_EQ(Run("2026-12-08 22:00:00", "undo", &out), 0) << stderr_;
    EXPECT_EQ(Page(), afterFirst);
    EXPECT_EQ(ReadBytes(dir_ / "diary-current.html"), copyAfterFirst);
    EXPECT_EQ(out, "restored " + (dir_ / "diary26-Dec.html") + "\nrestored " +
                       (dir_ / "diary-current.html") + "\n");

    EXPECT_EQ(Run("2026-12-08 22:00:00", "undo"), 1);
    EXPECT_EQ(stderr_, "quillmaker undo: there is no entry to take back\n");
    EXPECT_EQ(Page(), afterFirst);
}

TEST_F(UndoProgram, RefusesAndChangesNothingWhenThePageWasEditedSince) {
    ASSERT_EQ(Run("2026-12-07 21:05:09", "generate --title 一 --body 朝"), 0) << stderr_;
    ASSERT_EQ(Run("2026-12-08 21:05:09", "generate --title 二 --body 夜"), 0) << stderr_;
    const std::string edited = Page() + "<p>mended by hand</p>";
    WriteBytes(dir_ / "diary26-Dec.html", edited);
    const std::string copy = ReadBytes(dir_ / "diary-current.html");
    const std::string log = ReadBytes(dir_ / "log.html");

    EXPECT_EQ(Run("2026-12-08 22:00:00", "undo"), 1);
    EXPECT_EQ(stderr_, "quillmaker undo: " + (dir_ / "diary26-Dec.html") +
                           " has changed since the last generate; nothing was taken back\n");
    EXPECT_EQ(Page(), edited);
    EXPECT_EQ(ReadBytes(dir_ / "diary-current.html"), copy);
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), log);
}

// The month's first entry started the page: it goes with its log link, and
// the upload tool gets the log page, which is all that is left to send.
TEST_F(UndoProgram, APageTheGenerateStartedGoesWithItsLinkAndTheUploadGetsTheRest) {
    UseInstalledCopy();
    std::filesystem::create_directories(dir_ / "libexec/quillmaker/tavmo");
    const std::string tool = dir_ / "libexec/quillmaker/tavmo/tavmo.exe";
    WriteBytes(tool, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.out\"\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    const std::string log = ReadBytes(dir_ / "log.html");
    ASSERT_EQ(Run("2026-12-07 21:05:09", "generate --title 一 --body 朝"), 0) << stderr_;
    std::string out;
    EXPECT_EQ(Run("2026-12-07 22:00:00", "undo --upload", &out), 0) << stderr_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "diary26-Dec.html"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "diary-current.html"));
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), log);
    EXPECT_NE(out.find("removed " + (dir_ / "diary26-Dec.html")), std::string::npos) << out;
    std::string handed;
    for (int i = 0; i < 200 && handed.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        handed = ReadBytes(tool + ".out");
    }
    EXPECT_EQ(handed, "log.html\n");  // as the settings name it, as generate hands it on
}

TEST_F(UndoProgram, AMissingUploadToolIsSaidAfterTakingBack) {
    UseInstalledCopy();
    ASSERT_EQ(Run("2026-12-07 21:05:09", "generate --title 一 --body 朝"), 0) << stderr_;
    EXPECT_EQ(Run("2026-12-07 22:00:00", "undo --upload"), 3);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "diary26-Dec.html"));
    EXPECT_NE(stderr_.find("the upload tool tavmo/tavmo.exe was not found"), std::string::npos)
        << stderr_;
}

TEST_F(UndoProgram, UsageErrors) {
    EXPECT_EQ(Run("2026-12-07 21:05:09", "undo --frobnicate"), 2);
    EXPECT_EQ(Run("2026-12-07 21:05:09", "undo --upload --no-upload"), 2);
}

}  // namespace
}  // namespace qm
