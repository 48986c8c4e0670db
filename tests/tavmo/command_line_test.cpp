// The real executable, run without a display: exit statuses and what it says
// on standard error. Its arguments are written as one parameter text and
// split by the Windows command-line rules, as a Windows start hands them over.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/program_run.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(CommandLineTest, ExitStatusesSayWhetherEverythingWasSent) {
    TempDir files, web;
    WriteBytes(files / "日記.html", "page");
    WriteBytes(files / "a \"b\" 日記.html", "quoted");
    const auto quoted = [&](const std::string& name) { return '"' + (files / name) + '"'; };
    // Settings, parameter text, QT_QPA_PLATFORM, exit status, what it says.
    const std::tuple<std::string, std::string, std::string, int, std::string> rows[] = {
        {"", "--frobnicate a.html", "", 2, "使い方"},
        {"", quoted("日記.html"), "", 2, "送り先が設定されていません"},
        {"[TAVMO]\nURL=" + web.dir() + "\n", quoted("日記.html") + " " + quoted("gone.html"), "", 1,
         files / "gone.html"},
        // --batch sends without a window even when a display is named.
        {"[TAVMO]\nURL=file://" + web.dir() + "\n",
         "--batch " + quoted("日記.html") + " " + quoted(R"(a \"b\" 日記.html)"), "offscreen", 0,
         "すべてのファイルを送りました"},
    };
    for (const auto& [settings, parameters, qtPlatform, exitStatus, said] : rows) {
        TempDir dir;
        std::filesystem::copy_file(TAVMO_EXECUTABLE, dir / "tavmo.exe");
        WriteBytes(dir / "tavmo.ini", settings);
        std::vector<std::string> args = {"/usr/bin/env",    "-u",
                                         "DISPLAY",         "-u",
                                         "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=" + qtPlatform,
                                         dir / "tavmo.exe"};
        for (const auto& argument : qm::SplitCommandLine(parameters)) args.push_back(argument);
        const test::ProgramRun run = test::RunProgram(args);
        EXPECT_EQ(run.exitStatus, exitStatus) << run.errors;
        EXPECT_NE(run.errors.find(said), std::string::npos) << run.errors;
    }
    EXPECT_EQ(ReadBytes(web / "日記.html"), "page");
    EXPECT_EQ(ReadBytes(web / "a \"b\" 日記.html"), "quoted");
}

}  // namespace
}  // namespace qm::tavmo
