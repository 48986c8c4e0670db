// The real executable, run without a display: arguments, exit statuses and
// what it says on standard error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ftp_server.h"
#include "support/temp_dir.h"

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
    ToolCopy() {
        std::filesystem::copy_file(TAVMO_EXECUTABLE, dir_ / "tavmo.exe");
        std::filesystem::permissions(dir_ / "tavmo.exe", std::filesystem::perms::owner_all);
    }

    void WriteSettings(const std::string& text) { WriteBytes(dir_ / "tavmo.ini", text); }

    RunResult Run(const std::vector<std::string>& arguments,
                  const char* qtPlatform = nullptr) const {
        const std::string errPath = dir_ / "stderr.txt";
        const pid_t child = ::fork();
        if (child == 0) {
            int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, 2);
            int none = ::open("/dev/null", O_WRONLY);
            ::dup2(none, 1);
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::unsetenv("QT_QPA_PLATFORM");
            if (qtPlatform != nullptr) ::setenv("QT_QPA_PLATFORM", qtPlatform, 1);
            const std::string program = dir_ / "tavmo.exe";
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const auto& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        RunResult result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = ReadBytes(errPath);
        return result;
    }

    std::string dir() const { return dir_.dir(); }

  private:
    TempDir dir_;
};

TEST(CommandLineTest, UnknownOptionIsAnErrorWithTheUsage) {
    ToolCopy tool;
    RunResult result = tool.Run({"--frobnicate", "a.html"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--frobnicate"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("使い方"), std::string::npos) << result.err;
}

TEST(CommandLineTest, WithoutDestinationNothingIsTried) {
    ToolCopy tool;
    TempDir files;
    WriteBytes(files / "a.html", "a");
    RunResult result = tool.Run({files / "a.html"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("送り先が設定されていません"), std::string::npos) << result.err;
}

TEST(CommandLineTest, SettingsWindowNeedsADisplay) {
    ToolCopy tool;
    RunResult result = tool.Run({"/set"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("設定画面を開けません"), std::string::npos) << result.err;
}

TEST(CommandLineTest, MissingFileIsNamedTheOthersAreSentAndTheStatusSaysSo) {
    ToolCopy tool;
    TempDir files;
    TempDir web;
    tool.WriteSettings("[TAVMO]\nURL=" + web.dir() + "\nIMAGEFOLDER=\n");
    WriteBytes(files / "日記.html", "page");
    WriteBytes(files / "diary-current.html", "current");
    const std::string gone = files / "log.html";

    RunResult result = tool.Run({files / "日記.html", gone, files / "diary-current.html"});

    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(gone), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("送信中: 日記.html"), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(web / "日記.html"), "page");
    EXPECT_EQ(ReadBytes(web / "diary-current.html"), "current");
}

TEST(CommandLineTest, BatchSendsWithoutAWindowEvenWhenADisplayIsNamed) {
    ToolCopy tool;
    TempDir files;
    TempDir web;
    tool.WriteSettings("[TAVMO]\nURL=file://" + web.dir() + "\n");
    WriteBytes(files / "a.html", "a");

    RunResult result = tool.Run({"--batch", files / "a.html"}, "offscreen");

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("すべてのファイルを送りました"), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(web / "a.html"), "a");
}

TEST(CommandLineTest, WrongPasswordFailsWithoutShowingThePassword) {
    if (test::FtpServer::Program().empty()) {
        GTEST_SKIP() << "vsftpd is not installed (package vsftpd), no FTP server to test against";
    }
    TempDir serverBase;
    test::FtpServer server(serverBase.dir());
    ASSERT_EQ(server.Start(), "");
    ToolCopy tool;
    TempDir files;
    WriteBytes(files / "a.html", "a");
    tool.WriteSettings("[TAVMO]\nURL=" + server.Url() +
                       "\nUSER=anonymous\nPASSWORD=Not-The-One-42\n");

    RunResult result = tool.Run({files / "a.html"});

    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("ログインできませんでした"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Not-The-One-42"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(server.PubDir() + "a.html"));
}

}  // namespace
}  // namespace qm::tavmo
