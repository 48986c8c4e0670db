// Sending to a real SSH server on the loopback address.
#include "servers.h"
#include "transfer_support.h"

namespace qm::tavmo {
namespace {

using namespace qm::test;

class SftpTransferTest : public TransferTest {
  protected:
    void SetUp() override {
        if (!SchemeAvailable(Scheme::Sftp) || !SshServer::Available()) {
            GTEST_SKIP() << "no sftp in this libcurl, or sshd (openssh-server) not installed";
        }
        ASSERT_EQ(server_.Start(), "");
    }

    Connection KeyLogin() const {
        Connection connection;
        connection.user = SshServer::UserName();
        connection.keyFile = server_.File("client");
        connection.password = SshServer::kKeyPassphrase;
        connection.knownHostsFile = server_.File("known_hosts");
        connection.connectTimeoutSeconds = 5;
        connection.stallSeconds = 5;
        return connection;
    }
    Uploader MakeUploader(const std::vector<std::string>& paths, Connection connection) const {
        const RemoteFolder folder = *ParseRemoteFolder(server_.Url());
        return Uploader(std::move(connection), PlanUploads(paths, folder, folder));
    }
    std::string Www(const std::string& name) const { return ReadBytes(server_.WwwDir() + name); }

    TempDir serverBase_;
    SshServer server_{serverBase_.dir()};
};

TEST_F(SftpTransferTest, KeyLoginSendsOddNamesACancelKeepsTheOldPageAndRetrySendsTheRest) {
    WriteBytes(server_.WwwDir() + "日記 12月.html", "old page");
    const std::string page = Local("日記 12月.html", std::string(1024 * 1024, 'n'));
    Uploader uploader = MakeUploader(
        {Local("say \"hi\".html", "quoted"), page, Local("写真.png", std::string(20000, 'p'))},
        KeyLogin());
    observer_.CancelDuring("日記 12月.html");

    EXPECT_FALSE(uploader.SendPending(observer_));
    EXPECT_EQ(Www("日記 12月.html"), "old page");

    WriteBytes(server_.WwwDir() + "写真.png", "kept");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, std::vector<std::string>{"日記 12月.html"});
    EXPECT_EQ(FilesBelow(server_.WwwDir()),
              (std::vector<std::string>{"say \"hi\".html", "写真.png", "日記 12月.html"}));
    EXPECT_EQ(Www("日記 12月.html"), ReadBytes(page));
    EXPECT_EQ(Www("say \"hi\".html"), "quoted");
    EXPECT_EQ(Www("写真.png"), "kept");
    EXPECT_EQ(TestConnection(*ParseRemoteFolder(server_.Url()), KeyLogin()), "");
}

TEST_F(SftpTransferTest, UnknownKeyAndUnknownHostAreRefused) {
    Connection stranger = KeyLogin();
    stranger.keyFile = server_.File("stranger");
    stranger.password.clear();
    Connection unknownHost = KeyLogin();
    unknownHost.knownHostsFile = server_.File("empty_known_hosts");
    for (const auto& [connection, why] :
         {std::pair{stranger, "ログインできませんでした"}, std::pair{unknownHost, "ホスト鍵"}}) {
        Uploader uploader = MakeUploader({Local("a.html", "a")}, connection);
        EXPECT_FALSE(uploader.SendPending(observer_));
        EXPECT_TRUE(HasAll(FailureReport(uploader), {"「a.html」を送れませんでした", why}));
        EXPECT_EQ(FilesBelow(server_.WwwDir()), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace qm::tavmo
