// Sending to a real FTP server on the loopback address, plain and with TLS.
#include <unistd.h>

#include "servers.h"
#include "transfer_support.h"

namespace qm::tavmo {
namespace {

using namespace qm::test;

class FtpTransferTest : public TransferTest {
  protected:
    void SetUp() override {
        if (!FtpServer::Available()) GTEST_SKIP() << "vsftpd is not installed (package vsftpd)";
        ASSERT_EQ(server_.Start(), "");
    }

    static Connection Login(const std::string& password = FtpServer::kPassword) {
        Connection connection;
        connection.user = FtpServer::kUser;
        connection.password = password;
        connection.connectTimeoutSeconds = 5;
        connection.stallSeconds = 5;
        return connection;
    }
    RemoteFolder Folder(const std::string& path = "pub/") const {
        return *ParseRemoteFolder(server_.Url(path));
    }
    Uploader MakeUploader(const std::vector<std::string>& paths, Connection connection = Login(),
                          const std::string& path = "pub/") const {
        return Uploader(std::move(connection), PlanUploads(paths, Folder(path), Folder(path)));
    }
    std::string Pub(const std::string& name) const { return ReadBytes(server_.PubDir() + name); }

    TempDir serverBase_;
    FtpServer server_{serverBase_.dir()};
};

TEST_F(FtpTransferTest, SendsJapaneseNamesImagesFirstAndNamesTheMissingFile) {
    WriteBytes(server_.PubDir() + "ログ.html", "old log");
    std::filesystem::create_directory(server_.PubDir() + "画像");
    const std::string page = Local("diary2026-12.html", "<html>\x93\xfa\x8b\x4c</html>");
    const std::string missing = local_ / "消えた.html";
    const std::string log = Local("ログ.html", "<a href=x>log</a>");
    const std::string image = Local("写真 1.jpg", std::string(70000, 'j'));
    Uploader uploader(Login(), PlanUploads({page, missing, log, image}, Folder(),
                                           *ResolveImageFolder(Folder(), "画像")));

    EXPECT_FALSE(uploader.SendPending(observer_));

    // Everything else arrived whole, the old page replaced, no temporary name left.
    EXPECT_EQ(FilesBelow(server_.PubDir()),
              (std::vector<std::string>{"diary2026-12.html", "ログ.html", "画像/写真 1.jpg"}));
    EXPECT_EQ(Pub("diary2026-12.html"), ReadBytes(page));
    EXPECT_EQ(Pub("ログ.html"), ReadBytes(log));
    EXPECT_EQ(Pub("画像/写真 1.jpg"), ReadBytes(image));
    EXPECT_EQ(observer_.started,
              (std::vector<std::string>{"写真 1.jpg", "diary2026-12.html", "ログ.html"}));
    EXPECT_EQ(observer_.lastDone, uploader.TotalBytes());
    EXPECT_TRUE(HasAll(FailureReport(uploader), {missing, "見つかりません"}));
}

TEST_F(FtpTransferTest, WrongPasswordIsExplainedNeverShownAndNotRetriedPerFile) {
    Uploader uploader =
        MakeUploader({Local("page.html", "page"), Local("other.html", "other")}, Login("wrong-pw"));

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(server_.PubDir()), std::vector<std::string>{});
    const std::string report = FailureReport(uploader);
    EXPECT_TRUE(HasAll(report, {"「page.html」を送れませんでした", "ログインできませんでした",
                                "530", "残りの 1 件"}));
    EXPECT_EQ(report.find("wrong-pw"), std::string::npos);
    EXPECT_EQ(observer_.started.size(), 1u);
}

TEST_F(FtpTransferTest, ServerStoppedMidwayLeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    const std::string big = Local("big.html", std::string(8 * 1024 * 1024, 'b'));
    Uploader uploader =
        MakeUploader({Local("first.html", "first page"), big, Local("last.html", "last page")});
    observer_.actDuring = "big.html";
    observer_.actAfterBytes = 256 * 1024;
    observer_.action = [this] { server_.Stop(); };

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(Pub("first.html"), "first page");
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "big.html"));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "last.html"));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「big.html」を送れませんでした"}));

    // Mark the copy on the server: a retry that sent it again would overwrite it.
    WriteBytes(server_.PubDir() + "first.html", "kept on the server");
    ASSERT_EQ(server_.Start(), "");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);

    EXPECT_EQ(retry.started, (std::vector<std::string>{"big.html", "last.html"}));
    EXPECT_EQ(FilesBelow(server_.PubDir()),
              (std::vector<std::string>{"big.html", "first.html", "last.html"}));
    EXPECT_EQ(Pub("first.html"), "kept on the server");
    EXPECT_EQ(Pub("big.html"), ReadBytes(big));
    EXPECT_EQ(Pub("last.html"), "last page");
}

TEST_F(FtpTransferTest, ActiveModeSendsAndMissingFolderWrongLoginAndNoServerAreToldApart) {
    Connection active = Login();
    active.passive = false;
    const std::string page = Local("page.html", "sent the active way");
    Uploader uploader = MakeUploader({page}, active);
    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);
    EXPECT_EQ(Pub("page.html"), "sent the active way");

    Uploader typo = MakeUploader({page}, Login(), "pub/typo/");
    EXPECT_FALSE(typo.SendPending(observer_));
    EXPECT_TRUE(HasAll(FailureReport(typo), {"「page.html」を送れませんでした"}));
    EXPECT_EQ(TestConnection(Folder(), Login()), "");
    EXPECT_TRUE(HasAll(TestConnection(Folder(), Login("nope")), {"ログインできませんでした"}));
    EXPECT_NE(TestConnection(Folder("pub/ない/"), Login()), "");
    // Neither the send nor the test makes a folder the user did not have.
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "typo"));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "ない"));
    server_.Stop();
    EXPECT_TRUE(HasAll(TestConnection(Folder(), Login()), {"つながりませんでした"}));
}

TEST_F(FtpTransferTest, ReplacingStepForServersThatWillNotRenameOverAFile) {
    WriteBytes(server_.PubDir() + "page.html", "old");
    WriteBytes(server_.PubDir() + TemporaryName("page.html"), "new and whole");
    EXPECT_EQ(ReplaceWithTemporary(Folder(), "page.html", Login()), 0);
    EXPECT_EQ(FilesBelow(server_.PubDir()), std::vector<std::string>{"page.html"});
    EXPECT_EQ(Pub("page.html"), "new and whole");

    // Without its temporary file the old page is left alone.
    EXPECT_NE(ReplaceWithTemporary(Folder(), "page.html", Login()), 0);
    EXPECT_EQ(Pub("page.html"), "new and whole");
}

// Explicit TLS (AUTH TLS) only, with a certificate made for the test.
class FtpsTransferTest : public FtpTransferTest {
  protected:
    void SetUp() override {
        if (!FtpServer::Available() || ::access("/usr/bin/openssl", X_OK) != 0) {
            GTEST_SKIP() << "vsftpd or openssl is not installed";
        }
        const std::string command =
            "/usr/bin/openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
            serverBase_.dir() + "key.pem' -out '" + cert_ + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "openssl could not make a certificate";
        server_.UseTls(cert_, serverBase_.dir() + "key.pem");
        ASSERT_EQ(server_.Start(), "");
    }

    std::string cert_ = serverBase_.dir() + "cert.pem";
};

TEST_F(FtpsTransferTest, CertificateIsCheckedUnlessTurnedOff) {
    const std::string page = Local("page.html", "sent over TLS");
    const auto tls =
        *ParseRemoteFolder("ftps://127.0.0.1:" + std::to_string(server_.port()) + "/pub/");
    struct Row {
        std::string caFile;
        bool verifyPeer;
        bool sends;
    };
    for (const Row& row : {Row{cert_, true, true}, Row{"", true, false}, Row{"", false, true}}) {
        std::filesystem::remove(server_.PubDir() + "page.html");
        Connection connection = Login();
        connection.caFile = row.caFile;
        connection.verifyPeer = row.verifyPeer;
        Uploader uploader(connection, PlanUploads({page}, tls, tls));
        SCOPED_TRACE(row.caFile + (row.verifyPeer ? " checked" : " unchecked"));

        EXPECT_EQ(uploader.SendPending(observer_), row.sends) << FailureReport(uploader);
        EXPECT_EQ(Pub("page.html"), row.sends ? "sent over TLS" : "");
        EXPECT_EQ(FailureReport(uploader).find("証明書") != std::string::npos, !row.sends);
    }
}

}  // namespace
}  // namespace qm::tavmo
