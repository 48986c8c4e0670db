// Sending to a real FTP server on the loopback address.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "ftp_server.h"
#include "recording_observer.h"
#include "support/temp_dir.h"
#include "tavmo/batch_run.h"
#include "tavmo/upload_list.h"

namespace qm::tavmo {
namespace {

using test::FtpServer;
using test::ReadBytes;
using test::RecordingObserver;
using test::TempDir;
using test::WriteBytes;

class FtpTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (FtpServer::Program().empty()) {
            GTEST_SKIP()
                << "vsftpd is not installed (package vsftpd), no FTP server to test against";
        }
        const std::string problem = server_.Start();
        ASSERT_TRUE(problem.empty()) << problem;
    }

    std::string Local(const std::string& name, std::string_view content) {
        const std::string path = local_ / name;
        WriteBytes(path, content);
        return path;
    }

    Connection RightLogin() const {
        Connection connection;
        connection.user = FtpServer::kUser;
        connection.password = FtpServer::kPassword;
        connection.connectTimeoutSeconds = 5;
        connection.stallSeconds = 5;
        return connection;
    }

    Uploader MakeUploader(const std::vector<std::string>& paths, Connection connection,
                          const std::string& folder = "pub/") {
        auto remote = ParseRemoteFolder(server_.Url(folder));
        EXPECT_TRUE(remote.has_value());
        return Uploader(std::move(connection), PlanUploads(paths, *remote, *remote));
    }

    TempDir local_;
    TempDir serverBase_;
    FtpServer server_{serverBase_.dir()};
};

TEST_F(FtpTransferTest, SendsSeveralFilesWithJapaneseNamesIntoTheFolder) {
    const std::string page = Local("diary2026-12.html", "<html>\x93\xfa\x8b\x4c</html>");
    const std::string log = Local("ログ.html", "<a href=x>log</a>");
    const std::string image = Local("写真 1.jpg", std::string(70000, 'j'));
    Uploader uploader = MakeUploader({page, log, image}, RightLogin());
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);

    EXPECT_EQ(ReadBytes(server_.PubDir() + "diary2026-12.html"), ReadBytes(page));
    EXPECT_EQ(ReadBytes(server_.PubDir() + "ログ.html"), ReadBytes(log));
    EXPECT_EQ(ReadBytes(server_.PubDir() + "写真 1.jpg"), ReadBytes(image));
    // No temporary name is left behind.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(server_.PubDir())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3);
    EXPECT_EQ(observer.started,
              (std::vector<std::string>{"写真 1.jpg", "diary2026-12.html", "ログ.html"}));
    EXPECT_EQ(observer.lastDone, observer.lastTotal);
    EXPECT_EQ(observer.lastTotal, uploader.TotalBytes());
}

TEST_F(FtpTransferTest, ReplacesAnExistingPageAndImagesGoToTheirOwnFolder) {
    WriteBytes(server_.PubDir() + "index.html", "old page");
    std::filesystem::create_directory(server_.PubDir() + "画像");
    const std::string page = Local("index.html", "new page");
    const std::string image = Local("a.PNG", "png bytes");
    auto pages = ParseRemoteFolder(server_.Url());
    auto images = ResolveImageFolder(*pages, "画像");
    ASSERT_TRUE(images.has_value());
    Uploader uploader(RightLogin(), PlanUploads({page, image}, *pages, *images));
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);

    EXPECT_EQ(ReadBytes(server_.PubDir() + "index.html"), "new page");
    EXPECT_EQ(ReadBytes(server_.PubDir() + "画像/a.PNG"), "png bytes");
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "a.PNG"));
}

TEST_F(FtpTransferTest, MissingLocalFileIsReportedByNameAndTheOthersAreSent) {
    const std::string page = Local("page.html", "page");
    const std::string missing = local_ / "消えた.html";
    const std::string current = Local("diary-current.html", "current");
    Uploader uploader = MakeUploader({page, missing, current}, RightLogin());
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_EQ(ReadBytes(server_.PubDir() + "page.html"), "page");
    EXPECT_EQ(ReadBytes(server_.PubDir() + "diary-current.html"), "current");
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find(missing), std::string::npos) << report;
    EXPECT_NE(report.find("見つかりません"), std::string::npos) << report;
}

TEST_F(FtpTransferTest, WrongPasswordIsExplainedAndNothingIsSent) {
    const std::string page = Local("page.html", "page");
    const std::string other = Local("other.html", "other");
    Connection connection = RightLogin();
    connection.password = "wrong-secret";
    Uploader uploader = MakeUploader({page, other}, connection);
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "page.html"));
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("「page.html」を送れませんでした"), std::string::npos) << report;
    EXPECT_NE(report.find("ログインできませんでした"), std::string::npos) << report;
    EXPECT_NE(report.find("530"), std::string::npos) << report;
    // A refused login is not tried again for every further file.
    EXPECT_EQ(observer.started.size(), 1u);
    EXPECT_NE(report.find("残りの 1 件"), std::string::npos) << report;
    EXPECT_EQ(report.find("wrong-secret"), std::string::npos);
}

TEST_F(FtpTransferTest, ServerStoppedMidwayLeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    const std::string first = Local("first.html", "first page");
    const std::string big = Local("big.html", std::string(8 * 1024 * 1024, 'b'));
    const std::string last = Local("last.html", "last page");
    Uploader uploader = MakeUploader({first, big, last}, RightLogin());
    RecordingObserver observer;
    observer.actDuring = "big.html";
    observer.actAfterBytes = 256 * 1024;
    observer.action = [this] { server_.Stop(); };

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_EQ(ReadBytes(server_.PubDir() + "first.html"), "first page");
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "big.html"));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "last.html"));
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("「big.html」を送れませんでした"), std::string::npos) << report;

    // Mark the copy on the server: a retry that sent it again would overwrite it.
    WriteBytes(server_.PubDir() + "first.html", "kept on the server");
    ASSERT_EQ(server_.Start(), "");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);

    EXPECT_EQ(retry.started, (std::vector<std::string>{"big.html", "last.html"}));
    EXPECT_EQ(ReadBytes(server_.PubDir() + "first.html"), "kept on the server");
    EXPECT_EQ(std::filesystem::file_size(server_.PubDir() + "big.html"), 8u * 1024 * 1024);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "last.html"), "last page");
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + TemporaryName("big.html")));
}

TEST_F(FtpTransferTest, CancelStopsTheRunAndKeepsTheRestPending) {
    const std::string big = Local("big.html", std::string(4 * 1024 * 1024, 'c'));
    const std::string after = Local("after.html", "after");
    Uploader uploader = MakeUploader({big, after}, RightLogin());
    RecordingObserver observer;
    observer.actDuring = "big.html";
    observer.action = [&observer] { observer.cancel = true; };

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_TRUE(uploader.cancelled());
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "big.html"));
    EXPECT_EQ(uploader.items()[1].state, UploadItem::State::Pending);
    EXPECT_NE(FailureReport(uploader).find("取り消しました"), std::string::npos);
}

TEST_F(FtpTransferTest, ActiveModeWorksToo) {
    const std::string page = Local("page.html", "sent the active way");
    Connection connection = RightLogin();
    connection.passive = false;
    Uploader uploader = MakeUploader({page}, connection);
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "page.html"), "sent the active way");
}

TEST_F(FtpTransferTest, ConnectionTestChecksLoginAndFolder) {
    auto folder = ParseRemoteFolder(server_.Url());
    auto missing = ParseRemoteFolder(server_.Url("pub/ない/"));
    Connection wrong = RightLogin();
    wrong.password = "nope";

    EXPECT_EQ(TestConnection(*folder, RightLogin()), "");
    EXPECT_NE(TestConnection(*folder, wrong).find("ログインできませんでした"), std::string::npos);
    const std::string noFolder = TestConnection(*missing, RightLogin());
    EXPECT_FALSE(noFolder.empty());
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "ない"));
    server_.Stop();
    EXPECT_NE(TestConnection(*folder, RightLogin()).find("つながりませんでした"),
              std::string::npos);
}

TEST_F(FtpTransferTest, MissingRemoteFolderFailsWithoutCreatingIt) {
    const std::string page = Local("page.html", "page");
    Uploader uploader = MakeUploader({page}, RightLogin(), "pub/typo/");
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "typo"));
    EXPECT_NE(FailureReport(uploader).find("「page.html」を送れませんでした"), std::string::npos);
}

}  // namespace
}  // namespace qm::tavmo

namespace qm::tavmo {
namespace {

// Explicit TLS (AUTH TLS) with a certificate made for the test.
class FtpsTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (FtpServer::Program().empty()) {
            GTEST_SKIP()
                << "vsftpd is not installed (package vsftpd), no FTP server to test against";
        }
        if (::access("/usr/bin/openssl", X_OK) != 0) {
            GTEST_SKIP() << "openssl is not installed, no certificate for the TLS server";
        }
        ASSERT_TRUE(MakeCertificate()) << "openssl could not make a certificate";
        server_.UseTls(Certificates().dir() + "cert.pem", Certificates().dir() + "key.pem");
        cert_ = Certificates().dir() + "cert.pem";
        const std::string problem = server_.Start();
        ASSERT_TRUE(problem.empty()) << problem;
        WriteBytes(local_ / "page.html", "sent over TLS");
    }

    // One certificate for the whole suite; an EC key is quick to make.
    static TempDir& Certificates() {
        static TempDir dir;
        return dir;
    }
    static bool MakeCertificate() {
        static const bool made = [] {
            const std::string command =
                "/usr/bin/openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                "-nodes -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
                "-keyout '" +
                Certificates().dir() + "key.pem' -out '" + Certificates().dir() +
                "cert.pem' >/dev/null 2>&1";
            return std::system(command.c_str()) == 0;
        }();
        return made;
    }

    Uploader MakeUploader(Connection connection) {
        auto remote =
            ParseRemoteFolder("ftps://127.0.0.1:" + std::to_string(server_.port()) + "/pub/");
        EXPECT_TRUE(remote.has_value());
        connection.user = FtpServer::kUser;
        connection.password = FtpServer::kPassword;
        connection.connectTimeoutSeconds = 5;
        connection.stallSeconds = 5;
        return Uploader(std::move(connection),
                        PlanUploads({local_ / "page.html"}, *remote, *remote));
    }

    TempDir local_;
    TempDir serverBase_;
    FtpServer server_{serverBase_.dir()};
    std::string cert_;
};

TEST_F(FtpsTransferTest, TrustedCertificateSends) {
    Connection connection;
    connection.caFile = cert_;
    Uploader uploader = MakeUploader(connection);
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "page.html"), "sent over TLS");
}

TEST_F(FtpsTransferTest, UnknownCertificateIsRefusedByDefault) {
    Uploader uploader = MakeUploader(Connection{});
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));
    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("証明書"), std::string::npos) << report;
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "page.html"));
}

TEST_F(FtpsTransferTest, CheckCanBeTurnedOff) {
    Connection connection;
    connection.verifyPeer = false;
    Uploader uploader = MakeUploader(connection);
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "page.html"), "sent over TLS");
}

TEST_F(FtpsTransferTest, PlainFtpIsRefusedByThisServer) {
    auto plain = ParseRemoteFolder(server_.Url());
    Connection connection;
    connection.user = FtpServer::kUser;
    connection.password = FtpServer::kPassword;
    EXPECT_NE(TestConnection(*plain, connection), "");
    connection.caFile = cert_;
    auto tls = ParseRemoteFolder("ftps://127.0.0.1:" + std::to_string(server_.port()) + "/pub/");
    EXPECT_EQ(TestConnection(*tls, connection), "");
}

}  // namespace
}  // namespace qm::tavmo

namespace qm::tavmo {
namespace {

TEST(FtpCommandPathTest, PathsAreRelativeToTheLoginFolder) {
    EXPECT_EQ(FtpCommandPath("/pub/日記.html"), "pub/日記.html");
    EXPECT_EQ(FtpCommandPath("//var/www/a.html"), "/var/www/a.html");
}

TEST_F(FtpTransferTest, ReplacingStepForServersThatWillNotRenameOverAFile) {
    WriteBytes(server_.PubDir() + "page.html", "old");
    WriteBytes(server_.PubDir() + TemporaryName("page.html"), "new and whole");
    auto folder = ParseRemoteFolder(server_.Url());

    EXPECT_EQ(ReplaceWithTemporary(*folder, "page.html", RightLogin()), 0);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "page.html"), "new and whole");
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + TemporaryName("page.html")));

    // Without its temporary file the old page is left alone.
    WriteBytes(server_.PubDir() + "keep.html", "keep me");
    EXPECT_NE(ReplaceWithTemporary(*folder, "keep.html", RightLogin()), 0);
    EXPECT_EQ(ReadBytes(server_.PubDir() + "keep.html"), "keep me");
}

}  // namespace
}  // namespace qm::tavmo
