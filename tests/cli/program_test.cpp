// The program as the user starts it: the command line never loads the
// window toolkit, and without a subcommand the window program takes over.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "example_folder.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

class Program : public ExampleFolder {
  protected:
    // Runs with `variables` set; the dynamic loader reports into stderr_.
    int RunWith(const std::vector<std::string>& args,
                const std::vector<std::pair<const char*, const char*>>& variables = {}) {
        ::setenv("LD_DEBUG", "libs", 1);
        for (const auto& [name, value] : variables) ::setenv(name, value, 1);
        const int status = Run(args);
        ::unsetenv("LD_DEBUG");
        for (const auto& [name, value] : variables) ::unsetenv(name);
        return status;
    }
    bool LoadedQt() const { return stderr_.find("libQt6") != std::string::npos; }
};

TEST_F(Program, HelpAndGenerateRunWithoutTheWindowToolkit) {
    ASSERT_EQ(RunWith({"--help"}), 0);
    EXPECT_NE(stderr_.find("libstdc++"), std::string::npos) << "the loader reported nothing";
    EXPECT_FALSE(LoadedQt());
    ASSERT_EQ(RunWith({"generate", "--title", "t", "--body", "b"}), 0);
    EXPECT_FALSE(LoadedQt());
    EXPECT_TRUE(fs::exists(dir_ / "diary26-Dec.html"));
    ASSERT_EQ(RunWith({"no-such-command"}), 2);
    EXPECT_FALSE(LoadedQt());
}

TEST_F(Program, WithoutASubcommandTheWindowProgramBesideItOpensTheWindow) {
    if (!fs::exists(fs::path(program_).parent_path() / "quillmaker-window"))
        GTEST_SKIP() << "built without the windows";
    // Today's page exists, so no roll-over message waits for an answer.
    fs::copy_file(dir_ / "original.html", dir_ / "diary26-Dec.html");
    ASSERT_EQ(
        RunWith({}, {{"QT_QPA_PLATFORM", "offscreen"}, {"QUILLMAKER_EXIT_AFTER_FIRST_FRAME", "1"}}),
        0)
        << stderr_;
    EXPECT_TRUE(LoadedQt());
    // The window loaded the set of the given folder and recorded its page.
    EXPECT_NE(ReadBytes(dir_ / "example.ini").find("QUILL=" + dir_.dir() + "diary26-Dec.html"),
              std::string::npos);
}

// The command line alone needs nothing beside it (the undo tests run such a copy).
TEST_F(Program, AMissingWindowProgramIsReported) {
    UseInstalledCopy();
    EXPECT_EQ(Run({}), 1);
    EXPECT_NE(
        stderr_.find("cannot start the window program " + dir_.dir() + "bin/quillmaker-window"),
        std::string::npos)
        << stderr_;
}

}  // namespace
}  // namespace qm::test
