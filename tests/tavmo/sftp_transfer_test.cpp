// Sending to a real SSH server on the loopback address.
#include <gtest/gtest.h>

#include <filesystem>

#include "recording_observer.h"
#include "ssh_server.h"
#include "support/temp_dir.h"
#include "tavmo/batch_run.h"
#include "tavmo/upload_list.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::RecordingObserver;
using test::SshServer;
using test::TempDir;
using test::WriteBytes;

TEST(SftpCommandPathTest, QuotesEscapesAndMakesHomePathsRelative) {
    EXPECT_EQ(SftpCommandPath("/var/www/日記 1.html"), "\"/var/www/日記 1.html\"");
    EXPECT_EQ(SftpCommandPath("/~/www/a.html"), "\"www/a.html\"");
    EXPECT_EQ(SftpCommandPath("/w/say \"hi\\\".html"), "\"/w/say \\\"hi\\\\\\\".html\"");
}

class SftpTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!SchemeAvailable(Scheme::Sftp)) {
            GTEST_SKIP() << "this libcurl has no SSH support, sftp cannot be tested";
        }
        if (!SshServer::Available()) {
            GTEST_SKIP() << "sshd is not installed (package openssh-server), no SSH server to "
                            "test against";
        }
        const std::string problem = server_.Start();
        ASSERT_TRUE(problem.empty()) << problem;
    }

    Connection KeyLogin() const {
        Connection connection;
        connection.user = SshServer::UserName();
        connection.keyFile = server_.ClientKey();
        connection.password = SshServer::kKeyPassphrase;
        connection.knownHostsFile = server_.KnownHosts();
        connection.connectTimeoutSeconds = 5;
        connection.stallSeconds = 5;
        return connection;
    }

    Uploader MakeUploader(const std::vector<std::string>& paths, Connection connection) {
        auto remote = ParseRemoteFolder(server_.Url());
        EXPECT_TRUE(remote.has_value());
        return Uploader(std::move(connection), PlanUploads(paths, *remote, *remote));
    }

    std::string Local(const std::string& name, std::string_view content) {
        WriteBytes(local_ / name, content);
        return local_ / name;
    }

    TempDir local_;
    TempDir serverBase_;
    SshServer server_{serverBase_.dir()};
};

TEST_F(SftpTransferTest, KeyLoginSendsJapaneseNamesAndReplacesAnOldPage) {
    WriteBytes(server_.WwwDir() + "日記 12月.html", "old page");
    const std::string page = Local("日記 12月.html", "new page");
    const std::string quoted = Local("say \"hi\".html", "quoted");
    const std::string image = Local("写真.png", std::string(20000, 'p'));
    Uploader uploader = MakeUploader({page, quoted, image}, KeyLogin());
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);

    EXPECT_EQ(ReadBytes(server_.WwwDir() + "日記 12月.html"), "new page");
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "say \"hi\".html"), "quoted");
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "写真.png"), std::string(20000, 'p'));
    for (auto& entry : std::filesystem::directory_iterator(server_.WwwDir())) {
        EXPECT_EQ(entry.path().string().find(".tavmo-part"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(TestConnection(*ParseRemoteFolder(server_.Url()), KeyLogin()), "");
}

TEST_F(SftpTransferTest, KeyTheServerDoesNotKnowIsALoginFailure) {
    Connection connection = KeyLogin();
    connection.keyFile = server_.StrangerKey();
    connection.password.clear();
    Uploader uploader = MakeUploader({Local("a.html", "a")}, connection);
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("「a.html」を送れませんでした"), std::string::npos) << report;
    EXPECT_NE(report.find("ログインできませんでした"), std::string::npos) << report;
    EXPECT_FALSE(std::filesystem::exists(server_.WwwDir() + "a.html"));
}

TEST_F(SftpTransferTest, UnknownHostKeyIsRefused) {
    Connection connection = KeyLogin();
    connection.knownHostsFile = server_.EmptyKnownHosts();
    Uploader uploader = MakeUploader({Local("a.html", "a")}, connection);
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("ホスト鍵"), std::string::npos) << report;
    EXPECT_FALSE(std::filesystem::exists(server_.WwwDir() + "a.html"));
}

TEST_F(SftpTransferTest, CancelledFileLeavesTheOldPageAndRetrySendsTheRest) {
    WriteBytes(server_.WwwDir() + "big.html", "old");
    const std::string first = Local("first.html", "first");
    const std::string big = Local("big.html", std::string(1024 * 1024, 'b'));
    Uploader uploader = MakeUploader({first, big}, KeyLogin());
    RecordingObserver observer;
    observer.actDuring = "big.html";
    observer.action = [&observer] { observer.cancel = true; };

    EXPECT_FALSE(uploader.SendPending(observer));
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "big.html"), "old");

    WriteBytes(server_.WwwDir() + "first.html", "kept");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, (std::vector<std::string>{"big.html"}));
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "first.html"), "kept");
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "big.html"), ReadBytes(big));
}

}  // namespace
}  // namespace qm::tavmo
