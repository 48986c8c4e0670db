// Sending to real FTP, FTPS and SSH servers on the loopback address, and into
// a local web folder.
#include "tavmo/transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "servers.h"
#include "tavmo/batch_run.h"
#include "tavmo/upload_list.h"

namespace qm::tavmo {
namespace {

using namespace qm::test;
using Names = std::vector<std::string>;

::testing::AssertionResult HasAll(const std::string& text, const Names& parts) {
    for (const std::string& part : parts) {
        if (text.find(part) == std::string::npos) {
            return ::testing::AssertionFailure() << "no \"" << part << "\" in: " << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// Every file below `dir`, relative and sorted: what arrived, and nothing else.
Names FilesBelow(const std::string& dir) {
    Names names;
    for (auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            names.push_back(std::filesystem::relative(entry.path(), dir).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Records the files started and runs `midway` once the run is `midwayBytes` along.
class RecordingObserver : public ProgressObserver {
  public:
    Names started;
    std::uint64_t midwayBytes = 0;
    std::function<void()> midway;

    void FileStarted(const UploadItem& item) override { started.push_back(item.name); }
    void BytesSent(std::uint64_t done, std::uint64_t /*total*/) override {
        if (midway && done >= midwayBytes) std::exchange(midway, nullptr)();
    }
};

class TransferTest : public ::testing::Test {
  protected:
    std::string Local(const std::string& name, std::string_view content) {
        WriteBytes(local_ / name, content);
        return local_ / name;
    }
    static Uploader MakeUploader(Connection connection, const Names& paths, const std::string& url,
                                 const std::string& images = "") {
        const RemoteFolder folder = *ParseRemoteFolder(url);
        return Uploader(std::move(connection),
                        PlanUploads(paths, folder, *ResolveImageFolder(folder, images)));
    }

    TempDir local_;
    RecordingObserver observer_;
};

class FtpTransferTest : public TransferTest {
  protected:
    void SetUp() override {
        if (!FtpServer::Available()) GTEST_SKIP() << "vsftpd or openssl is not installed";
        ASSERT_EQ(server_.Start(), "");
    }
    static Connection Login(const std::string& password = FtpServer::kPassword) {
        Connection connection;
        connection.user = "anonymous";
        connection.password = password;
        connection.connectTimeoutSeconds = connection.stallSeconds = 5;
        return connection;
    }
    std::string Pub(const std::string& name) const { return ReadBytes(server_.PubDir() + name); }

    TempDir serverBase_;
    FtpServer server_{serverBase_.dir()};
};

TEST_F(FtpTransferTest, SendsJapaneseNamesAndNamesTheMissingFile) {
    WriteBytes(server_.PubDir() + "日記.html", "old page");
    std::filesystem::create_directory(server_.PubDir() + "画像");
    const std::string missing = local_ / "消えた.html";
    const std::string page = Local("日記.html", "<html>\x93\xfa\x8b\x4c</html>");
    const std::string image = Local("写真 1.jpg", std::string(70000, 'j'));
    Uploader uploader = MakeUploader(Login(), {page, missing, image}, server_.Url(), "画像");

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(server_.PubDir()), (Names{"日記.html", "画像/写真 1.jpg"}));
    EXPECT_EQ(Pub("日記.html"), ReadBytes(page));
    EXPECT_EQ(Pub("画像/写真 1.jpg"), ReadBytes(image));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {missing, "見つかりません"}));
}

TEST_F(FtpTransferTest, WrongPasswordIsExplainedAndNeverShown) {
    Uploader uploader =
        MakeUploader(Login("wrong-pw"), {Local("page.html", "page")}, server_.Url());

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(server_.PubDir()), Names{});
    const std::string report = FailureReport(uploader);
    EXPECT_TRUE(HasAll(report, {"「page.html」を送れませんでした", "ログインできませんでした"}));
    EXPECT_EQ(report.find("wrong-pw"), std::string::npos) << report;
}

TEST_F(FtpTransferTest, ServerStoppedMidwayLeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    const std::string big = Local("big.html", std::string(8 * 1024 * 1024, 'b'));
    Uploader uploader = MakeUploader(
        Login(), {Local("first.html", "first"), big, Local("last.html", "last")}, server_.Url());
    observer_.midwayBytes = 256 * 1024;
    observer_.midway = [this] { server_.Stop(); };

    EXPECT_FALSE(uploader.SendPending(observer_));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "big.html"));
    EXPECT_FALSE(std::filesystem::exists(server_.PubDir() + "last.html"));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「big.html」を送れませんでした"}));

    // Marked on the server: a retry that sent it again would overwrite it.
    WriteBytes(server_.PubDir() + "first.html", "kept");
    ASSERT_EQ(server_.Start(), "");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, (Names{"big.html", "last.html"}));
    EXPECT_EQ(FilesBelow(server_.PubDir()), (Names{"big.html", "first.html", "last.html"}));
    EXPECT_EQ(Pub("first.html"), "kept");
    EXPECT_EQ(Pub("big.html"), ReadBytes(big));
}

class FtpsTransferTest : public FtpTransferTest {
    void SetUp() override {
        server_.tls = true;
        FtpTransferTest::SetUp();
    }
};

TEST_F(FtpsTransferTest, UntrustedCertificateIsRefusedByDefault) {
    Uploader uploader = MakeUploader(Login(), {Local("page.html", "p")}, server_.Url("ftps"));

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「page.html」を送れませんでした", "証明書"}));
    EXPECT_EQ(FilesBelow(server_.PubDir()), Names{});
}

class SftpTransferTest : public TransferTest {
  protected:
    void SetUp() override {
        if (!SchemeAvailable(Scheme::Sftp) || !SshServer::Available()) {
            GTEST_SKIP() << "no sftp in this libcurl, or sshd (openssh-server) not installed";
        }
        ASSERT_EQ(server_.Start(), "");
        key_.user = SshServer::UserName();
        key_.keyFile = server_.File("client");
        key_.password = SshServer::kKeyPassphrase;
        key_.knownHostsFile = server_.File("known_hosts");
        key_.connectTimeoutSeconds = key_.stallSeconds = 5;
    }

    TempDir serverBase_;
    SshServer server_{serverBase_.dir()};
    Connection key_;
};

TEST_F(SftpTransferTest, KeyLoginReplacesAPage) {
    WriteBytes(server_.WwwDir() + "日記 12月.html", "old page");
    const std::string page = Local("日記 12月.html", std::string(100000, 'n'));
    Uploader uploader = MakeUploader(key_, {page}, server_.Url());

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(server_.WwwDir()), Names{"日記 12月.html"});
    EXPECT_EQ(ReadBytes(server_.WwwDir() + "日記 12月.html"), ReadBytes(page));
}

TEST_F(SftpTransferTest, UnknownHostKeyIsRefused) {
    key_.knownHostsFile = Local("known_hosts", "");
    Uploader uploader = MakeUploader(key_, {Local("a.html", "a")}, server_.Url());

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「a.html」を送れませんでした", "ホスト鍵"}));
    EXPECT_EQ(FilesBelow(server_.WwwDir()), Names{});
}

TEST_F(TransferTest, LocalFolderGetsTheFilesAndTheOldPageKeepsItsPermissions) {
    TempDir web;
    WriteBytes(web / "日記.html", "old page");
    ::chmod((web / "日記.html").c_str(), 0640);
    Uploader uploader = MakeUploader({}, {Local("日記.html", "new page"), Local("猫.gif", "gif")},
                                     "file://" + web.dir());

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(web.dir()), (Names{"日記.html", "猫.gif"}));
    EXPECT_EQ(ReadBytes(web / "日記.html"), "new page");
    EXPECT_EQ(std::filesystem::status(web / "日記.html").permissions(),
              std::filesystem::perms(0640));
}

}  // namespace
}  // namespace qm::tavmo
