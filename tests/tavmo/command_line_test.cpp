// The real executable, run without a display: arguments, exit statuses and
// what it says on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "servers.h"
#include "support/temp_dir.h"

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct RunResult {
    int status = -1;
    std::string err;
};

// A copy of the tool in a folder of its own, so its tavmo.ini is the test's.
class ToolCopy {
  public:
    ToolCopy() { std::filesystem::copy_file(TAVMO_EXECUTABLE, dir_ / "tavmo.exe"); }

    void WriteSettings(const std::string& text) const { WriteBytes(dir_ / "tavmo.ini", text); }

    RunResult Run(const std::vector<std::string>& arguments, const std::string& qtPlatform = "") {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
        if (!qtPlatform.empty()) command += "QT_QPA_PLATFORM=" + qtPlatform + " ";
        command += "'" + dir_ / "tavmo.exe'";
        for (const auto& argument : arguments) command += " '" + argument + "'";
        command += " >/dev/null 2>'" + dir_ / "stderr.txt'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir_ / "stderr.txt")};
    }

  private:
    TempDir dir_;
};

TEST(CommandLineTest, ExitStatusesSayWhetherEverythingWasSent) {
    ToolCopy tool;
    TempDir files;
    TempDir web;
    WriteBytes(files / "日記.html", "page");
    WriteBytes(files / "current.html", "current");

    RunResult result = tool.Run({"--frobnicate", "a.html"});
    EXPECT_EQ(result.status, 2);
    EXPECT_HAS(result.err, "--frobnicate");
    EXPECT_HAS(result.err, "使い方");

    result = tool.Run({files / "日記.html"});
    EXPECT_EQ(result.status, 2);
    EXPECT_HAS(result.err, "送り先が設定されていません");

    result = tool.Run({"/set"});
    EXPECT_EQ(result.status, 2);
    EXPECT_HAS(result.err, "設定画面を開けません");

    // A missing file is named, the others are sent, and the status says not all went.
    tool.WriteSettings("[TAVMO]\nURL=" + web.dir() + "\nIMAGEFOLDER=\n");
    result = tool.Run({files / "日記.html", files / "log.html", files / "current.html"});
    EXPECT_EQ(result.status, 1);
    EXPECT_HAS(result.err, files / "log.html");
    EXPECT_HAS(result.err, "送信中: 日記.html");
    EXPECT_EQ(ReadBytes(web / "日記.html"), "page");
    EXPECT_EQ(ReadBytes(web / "current.html"), "current");

    // --batch sends without a window even when a display is named.
    std::filesystem::remove(web / "current.html");
    tool.WriteSettings("[TAVMO]\nURL=file://" + web.dir() + "\n");
    result = tool.Run({"--batch", files / "current.html"}, "offscreen");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_HAS(result.err, "すべてのファイルを送りました");
    EXPECT_EQ(ReadBytes(web / "current.html"), "current");
}

TEST(CommandLineTest, WrongPasswordFailsWithoutShowingThePassword) {
    if (!test::FtpServer::Available()) GTEST_SKIP() << "vsftpd is not installed (package vsftpd)";
    TempDir serverBase;
    test::FtpServer server(serverBase.dir());
    ASSERT_EQ(server.Start(), "");
    ToolCopy tool;
    TempDir files;
    WriteBytes(files / "a.html", "a");
    tool.WriteSettings("[TAVMO]\nURL=" + server.Url() + "\nUSER=anonymous\nPASSWORD=Not-42\n");

    RunResult result = tool.Run({files / "a.html"});

    EXPECT_EQ(result.status, 1);
    EXPECT_HAS(result.err, "ログインできませんでした");
    EXPECT_EQ(result.err.find("Not-42"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(server.PubDir() + "a.html"));
}

}  // namespace
}  // namespace qm::tavmo
