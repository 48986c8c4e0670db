// The program as the user starts it: the command line never loads the
// window toolkit, and without a subcommand the window program takes over.
#include <cstdlib>

#include "example_folder.h"

namespace qm::test {
namespace {

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
};

TEST_F(Program, HelpAndGenerateRunWithoutTheWindowToolkit) {
    for (const auto& [args, status] : {std::pair{std::vector<std::string>{"--help"}, 0},
                                       {Generate("t"), 0},
                                       {{"no-such-command"}, 2}}) {
        ASSERT_EQ(RunWith(args), status) << args[0];
        EXPECT_TRUE(Said("libc.so")) << "the loader reported nothing";
        EXPECT_FALSE(Said("libQt6")) << args[0];
    }
    EXPECT_TRUE(fs::exists(dir_ / "diary26-Dec.html"));
}

// Without the window program beside it, that is said; with it, the window opens.
TEST_F(Program, WithoutASubcommandTheWindowProgramBesideItOpensTheWindow) {
    UseInstalledCopy();
    EXPECT_EQ(Run({}), 1);
    EXPECT_TRUE(Said("cannot start the window program " + dir_.dir() + "bin/quillmaker-window"))
        << stderr_;
    program_ = QM_PROGRAM;
    if (!fs::exists(fs::path(program_).parent_path() / "quillmaker-window"))
        GTEST_SKIP() << "built without the windows";
    // Today's page exists, so no roll-over message waits for an answer.
    fs::copy_file(dir_ / "original.html", dir_ / "diary26-Dec.html");
    ASSERT_EQ(
        RunWith({}, {{"QT_QPA_PLATFORM", "offscreen"}, {"QUILLMAKER_EXIT_AFTER_FIRST_FRAME", "1"}}),
        0)
        << stderr_;
    EXPECT_TRUE(Said("libQt6"));
    // The window loaded the set of the given folder and recorded its page.
    EXPECT_NE(ReadBytes(dir_ / "example.ini").find("QUILL=" + dir_.dir() + "diary26-Dec.html"),
              std::string::npos);
}

}  // namespace
}  // namespace qm::test
