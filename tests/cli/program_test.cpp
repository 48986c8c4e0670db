// The program as the user starts it: the command line never loads the
// window toolkit, and without a subcommand the window program takes over.
#include <csignal>
#include <regex>
#include <set>

#include "example_folder.h"
#include "support/scoped_env.h"

namespace qm::test {
namespace {

class Program : public ExampleFolder {
  protected:
    // Today's page as a roll-over leaves it: made and linked from the log page.
    void MakeTodaysPage() {
        fs::copy_file(dir_ / "original.html", dir_ / "diary26-Dec.html");
        WriteBytes(dir_ / "log.html",
                   ReadBytes(dir_ / "log.html") + "<a href =diary26-Dec.html>x</a><BR>");
    }
};

TEST_F(Program, HelpAndGenerateRunWithoutTheWindowToolkit) {
    const ScopedEnv trace("LD_DEBUG", "libs");  // the dynamic loader reports into stderr_
    for (const auto& [args, status] :
         {std::pair{std::vector<std::string>{"--help"}, 0}, {Generate("t"), 0}}) {
        ASSERT_EQ(Run(args), status) << args[0];
        EXPECT_TRUE(Said("libc.so")) << "the loader reported nothing";
        EXPECT_FALSE(Said("libQt6")) << args[0];
    }
}

// Installed, the window program is in the helper folder; in a build it is
// beside the command line, and with it the window opens.
TEST_F(Program, WithoutASubcommandTheWindowProgramOpensTheWindow) {
    UseInstalledCopy();
    const std::string window = dir_ / "libexec/quillmaker/quillmaker-window";
    EXPECT_EQ(Run({}), 1);
    EXPECT_TRUE(Said("cannot start the window program " + window)) << stderr_;
    StandIn(window);
    EXPECT_EQ(Run({"edit", "x"}), 0) << stderr_;
    EXPECT_EQ(ArgumentsOf(window), "--home\n" + dir_.dir() + "\n--now\n" + now_ + "\nedit\nx\n");
    program_ = QM_PROGRAM;
    if (!fs::exists(fs::path(program_).parent_path() / "quillmaker-window"))
        GTEST_SKIP() << "built without the windows";
    // Today's page exists, linked, so no message waits for an answer.
    MakeTodaysPage();
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
    MakeTodaysPage();
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

// (--version is the package check's.)
TEST_F(Program, UnknownOptionsAnswerInOneLine) {
    ASSERT_EQ(Run({"--frobnicate"}), 2);
    EXPECT_EQ(stderr_, "quillmaker: unknown option \"--frobnicate\"\ntry: quillmaker --help\n");
}

// Over ssh or on a console: one line and status 1, not Qt's abort.
TEST_F(Program, WithoutADisplayTheWindowProgramSaysSoAndEnds) {
    if (!fs::exists(fs::path(program_).parent_path() / "quillmaker-window"))
        GTEST_SKIP() << "built without the windows";
    const ScopedEnv noQpa("QT_QPA_PLATFORM", nullptr), noWayland("WAYLAND_DISPLAY", nullptr);
    for (const char* display : {static_cast<const char*>(nullptr), ":97"}) {
        const ScopedEnv gone("DISPLAY", display);
        for (const auto& args : {std::vector<std::string>{}, {"edit", "page.html"}}) {
            EXPECT_EQ(Run(args), 1);
            EXPECT_EQ(std::count(stderr_.begin(), stderr_.end(), '\n'), 1) << stderr_;
            EXPECT_TRUE(Said("no display")) << stderr_;
        }
    }
    EXPECT_FALSE(fs::exists(dir_ / "page.html"));
}

// A first start names the installed example diary and the command that
// copies it; that command gives a set to write into.
TEST_F(Program, AFirstStartNamesTheExampleDiaryAndHowToCopyIt) {
    UseInstalledCopy();
    const std::string example = dir_ / "share/quillmaker/example/";
    fs::create_directories(example);
    for (auto& e : fs::directory_iterator(QM_EXAMPLE_DIR)) fs::copy(e.path(), example);
    for (auto& e : fs::directory_iterator(dir_.dir()))
        if (e.is_regular_file()) fs::remove(e.path());
    ASSERT_EQ(Run(Generate("t")), 1);
    const std::string copy = "cp " + example + "* " + dir_.dir();
    EXPECT_TRUE(Said("lists no diary set yet; start from the example diary:\n  " + copy + "\n"))
        << stderr_;
    ASSERT_EQ(std::system(copy.c_str()), 0);
    EXPECT_EQ(Run(Generate("t")), 0) << stderr_;
}

// Every option and command of --help is in the manual page and the other way
// round, and the page is of this version.
TEST_F(Program, TheManualPageNamesWhatTheHelpNames) {
    ASSERT_EQ(Run({"--help"}), 0);
    const std::string help = stdout_;
    ASSERT_EQ(Run({"--version"}), 0);
    const std::string version = stdout_.substr(0, stdout_.size() - 1);
    std::string page = ReadBytes(QM_MAN_PAGE);
    page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
    page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    EXPECT_NE(page.find("\"" + version + "\""), std::string::npos) << version;

    // The first group of every match of `pattern` in `text`.
    auto found = [](const std::string& text, const std::regex& pattern) {
        std::set<std::string> names;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
             it != std::sregex_iterator(); ++it)
            names.insert((*it)[1]);
        return names;
    };
    const std::regex option(R"((?:^|[\s,|\[(])(--?[A-Za-z][A-Za-z-]*))");
    EXPECT_EQ(found(page, option), found(help, option));
    // Commands: "  generate ..." in the help, ".BR generate ..." after .TP in the page.
    const std::string helpCommands = help.substr(help.find("Commands:"));
    const std::string pageCommands =
        page.substr(page.find(".SH COMMANDS"), page.find(".SH EXIT") - page.find(".SH COMMANDS"));
    const auto pageNames = found(pageCommands, std::regex(R"(\n\.TP\n\.B[IR]? ([a-z]+))"));
    EXPECT_EQ(pageNames, found(helpCommands, std::regex(R"(\n  ([a-z]+)(?: |\n))")));
    EXPECT_FALSE(pageNames.empty());
}

}  // namespace
}  // namespace qm::test
