// The real executable, run without a display: arguments, exit statuses and
// what it says on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "servers.h"
#include "transfer_support.h"

namespace qm::tavmo {
namespace {

using test::HasAll;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct RunResult {
    int status = -1;
    std::string err;
};

// Runs a copy of the tool in a folder of its own, so its tavmo.ini holds `settings`.
RunResult RunTool(const std::string& settings, const std::vector<std::string>& arguments,
                  const std::string& qtPlatform = "") {
    TempDir dir;
    std::filesystem::copy_file(TAVMO_EXECUTABLE, dir / "tavmo.exe");
    WriteBytes(dir / "tavmo.ini", settings);
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    if (!qtPlatform.empty()) command += "QT_QPA_PLATFORM=" + qtPlatform + " ";
    command += "'" + dir / "tavmo.exe'";
    for (const auto& argument : arguments) command += " '" + argument + "'";
    command += " >/dev/null 2>'" + dir / "stderr.txt'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / "stderr.txt")};
}

TEST(CommandLineTest, ExitStatusesSayWhetherEverythingWasSent) {
    TempDir files;
    TempDir web;
    for (const char* name : {"日記.html", "current.html", "batch.html"})
        WriteBytes(files / name, name);
    struct Row {
        std::string settings;
        std::vector<std::string> arguments;
        std::string qtPlatform;
        int status;
        std::vector<std::string> said;
    };
    const Row rows[] = {
        {"", {"--frobnicate", "a.html"}, "", 2, {"--frobnicate", "使い方"}},
        {"", {files / "日記.html"}, "", 2, {"送り先が設定されていません"}},
        {"", {"/set"}, "", 2, {"設定画面を開けません"}},
        // A missing file is named, the others are sent, and the status says not all went.
        {"[TAVMO]\nURL=" + web.dir() + "\nIMAGEFOLDER=\n",
         {files / "日記.html", files / "log.html", files / "current.html"},
         "",
         1,
         {files / "log.html", "送信中: 日記.html"}},
        // --batch sends without a window even when a display is named.
        {"[TAVMO]\nURL=file://" + web.dir() + "\n",
         {"--batch", files / "batch.html"},
         "offscreen",
         0,
         {"すべてのファイルを送りました"}},
    };
    for (const Row& row : rows) {
        const RunResult result = RunTool(row.settings, row.arguments, row.qtPlatform);
        EXPECT_EQ(result.status, row.status) << result.err;
        EXPECT_TRUE(HasAll(result.err, row.said));
    }
    EXPECT_EQ(test::FilesBelow(web.dir()),
              (std::vector<std::string>{"batch.html", "current.html", "日記.html"}));
    EXPECT_EQ(ReadBytes(web / "日記.html"), "日記.html");
}

TEST(CommandLineTest, WrongPasswordFailsWithoutShowingThePassword) {
    if (!test::FtpServer::Available()) GTEST_SKIP() << "vsftpd is not installed (package vsftpd)";
    TempDir serverBase;
    test::FtpServer server(serverBase.dir());
    ASSERT_EQ(server.Start(), "");
    TempDir files;
    WriteBytes(files / "a.html", "a");

    const RunResult result = RunTool(
        "[TAVMO]\nURL=" + server.Url() + "\nUSER=anonymous\nPASSWORD=Not-42\n", {files / "a.html"});

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(HasAll(result.err, {"ログインできませんでした"}));
    EXPECT_EQ(result.err.find("Not-42"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(server.PubDir() + "a.html"));
}

}  // namespace
}  // namespace qm::tavmo
