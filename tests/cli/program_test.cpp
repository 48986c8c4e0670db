// The program as the user starts it: the command line never loads the
// window toolkit, and without a subcommand the window program takes over.
#include <csignal>

#include "example_folder.h"
#include "support/scoped_env.h"

namespace qm::test {
namespace {

using Program = ExampleFolder;

TEST_F(Program, HelpAndGenerateRunWithoutTheWindowToolkit) {
    const ScopedEnv trace("LD_DEBUG", "libs");  // the dynamic loader reports into stderr_
    for (const auto& [args, status] : {std::pair{std::vector<std::string>{"--help"}, 0},
                                       {Generate("t"), 0},
                                       {{"no-such-command"}, 2}}) {
        ASSERT_EQ(Run(args), status) << args[0];
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
    const ScopedEnv trace("LD_DEBUG", "libs"), offscreen("QT_QPA_PLATFORM", "offscreen"),
        once("QUILLMAKER_EXIT_AFTER_FIRST_FRAME", "1");
    ASSERT_EQ(Run({}), 0) << stderr_;
    EXPECT_TRUE(Said("libQt6"));
    // The window loaded the set of the given folder and recorded its page.
    EXPECT_NE(ReadBytes(dir_ / "example.ini").find("QUILL=" + dir_.dir() + "diary26-Dec.html"),
              std::string::npos);
}

// Two windows on one folder would write over each other's draft: a second start
// brings the first window forward and ends.
TEST_F(Program, ASecondStartOnTheFolderLeavesItToTheFirstWindow) {
    if (!fs::exists(fs::path(program_).parent_path() / "quillmaker-window"))
        GTEST_SKIP() << "built without the windows";
    fs::copy_file(dir_ / "original.html", dir_ / "diary26-Dec.html");
    const ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
    const pid_t first = Start({}, outputs_ / "first");
    for (int i = 0; i < 500 && !fs::exists(dir_ / "QMwindow.lock"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        // Should a second window open after all, it ends at once instead of hanging the test.
        const ScopedEnv once("QUILLMAKER_EXIT_AFTER_FIRST_FRAME", "1");
        EXPECT_EQ(Run({}), 0) << stderr_;
    }
    EXPECT_TRUE(Said("is open already")) << stderr_;
    ::kill(first, SIGTERM);
    WaitChild(first);
    // With the first window gone, the next start opens its own.
    const ScopedEnv once("QUILLMAKER_EXIT_AFTER_FIRST_FRAME", "1");
    EXPECT_EQ(Run({}), 0) << stderr_;
    EXPECT_FALSE(Said("is open already")) << stderr_;
}

}  // namespace
}  // namespace qm::test
