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
        connection.keyFile = server_.ClientKey();
        connection.password = SshServer::kKeyPassphrase;
        connection.knownHostsFile = server_.KnownHosts();
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

TEST_F(SftpTransferTest, KeyLoginSendsJapaneseAndQuotedNamesAndReplacesAnOldPage) {
    WriteBytes(server_.WwwDir() + "日記 12月.html", "old page");
    Uploader uploader =
        MakeUploader({Local("日記 12月.html", "new page"), Local("say \"hi\".html", "quoted"),
                      Local("写真.png", std::string(20000, 'p'))},
                     KeyLogin());

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(server_.WwwDir()),
              (std::vector<std::string>{"say \"hi\".html", "写真.png", "日記 12月.html"}));
    EXPECT_EQ(Www("日記 12月.html"), "new page");
    EXPECT_EQ(Www("say \"hi\".html"), "quoted");
    EXPECT_EQ(Www("写真.png"), std::string(20000, 'p'));
    EXPECT_EQ(TestConnection(*ParseRemoteFolder(server_.Url()), KeyLogin()), "");
}

TEST_F(SftpTransferTest, UnknownKeyAndUnknownHostAreRefused) {
    Connection stranger = KeyLogin();
    stranger.keyFile = server_.StrangerKey();
    stranger.password.clear();
    Connection unknownHost = KeyLogin();
    unknownHost.knownHostsFile = server_.EmptyKnownHosts();
    for (const auto& [connection, why] :
         {std::pair{stranger, "ログインできませんでした"}, std::pair{unknownHost, "ホスト鍵"}}) {
        Uploader uploader = MakeUploader({Local("a.html", "a")}, connection);
        EXPECT_FALSE(uploader.SendPending(observer_));
        const std::string report = FailureReport(uploader);
        EXPECT_HAS(report, "「a.html」を送れませんでした");
        EXPECT_HAS(report, why);
        EXPECT_EQ(FilesBelow(server_.WwwDir()), std::vector<std::string>{});
    }
}

TEST_F(SftpTransferTest, CancelledFileLeavesTheOldPageAndRetrySendsTheRest) {
    WriteBytes(server_.WwwDir() + "big.html", "old");
    const std::string big = Local("big.html", std::string(1024 * 1024, 'b'));
    Uploader uploader = MakeUploader({Local("first.html", "first"), big}, KeyLogin());
    observer_.CancelDuring("big.html");

    EXPECT_FALSE(uploader.SendPending(observer_));
    EXPECT_EQ(Www("big.html"), "old");

    WriteBytes(server_.WwwDir() + "first.html", "kept");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, std::vector<std::string>{"big.html"});
    EXPECT_EQ(FilesBelow(server_.WwwDir()), (std::vector<std::string>{"big.html", "first.html"}));
    EXPECT_EQ(Www("first.html"), "kept");
    EXPECT_EQ(Www("big.html"), ReadBytes(big));
}

}  // namespace
}  // namespace qm::tavmo
