// The real executable, run without a display: exit statuses and what it says
// on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(CommandLineTest, ExitStatusesSayWhetherEverythingWasSent) {
    TempDir files, web;
    WriteBytes(files / "日記.html", "page");
    struct Row {
        std::string settings;
        std::vector<std::string> arguments;
        const char* qtPlatform;
        int status;
        std::string said;
    };
    const Row rows[] = {
        {"", {"--frobnicate", "a.html"}, "", 2, "使い方"},
        {"", {files / "日記.html"}, "", 2, "送り先が設定されていません"},
        {"[TAVMO]\nURL=" + web.dir() + "\n",
         {files / "日記.html", files / "gone.html"},
         "",
         1,
         files / "gone.html"},
        // --batch sends without a window even when a display is named.
        {"[TAVMO]\nURL=file://" + web.dir() + "\n",
         {"--batch", files / "日記.html"},
         "offscreen",
         0,
         "すべてのファイルを送りました"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        std::filesystem::copy_file(TAVMO_EXECUTABLE, dir / "tavmo.exe");
        WriteBytes(dir / "tavmo.ini", row.settings);
        std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=" + std::string(row.qtPlatform) +
            " '" + dir / "tavmo.exe'";
        for (const auto& argument : row.arguments) command += " '" + argument + "'";
        const int status = std::system((command + " >/dev/null 2>'" + dir / "err'").c_str());
        const std::string err = ReadBytes(dir / "err");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.status) << err;
        EXPECT_NE(err.find(row.said), std::string::npos) << err;
    }
    EXPECT_EQ(ReadBytes(web / "日記.html"), "page");
}

}  // namespace
}  // namespace qm::tavmo
