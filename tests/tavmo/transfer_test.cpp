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

// Records the files started and runs `midway` once the run is `midwayBytes`
// along; `cancel` is what the cancel poll answers.
class RecordingObserver : public ProgressObserver {
  public:
    Names started;
    std::uint64_t midwayBytes = 0;
    std::function<void()> midway;
    bool cancel = false;

    void FileStarted(const UploadItem& item) override { started.push_back(item.name); }
    void BytesSent(std::uint64_t done, std::uint64_t /*total*/) override {
        if (midway && done >= midwayBytes) std::exchange(midway, nullptr)();
    }
    bool CancelRequested() override { return cancel; }
};

enum class Kind { Ftp, Sftp, File };

std::string KindName(Kind kind) {
    return kind == Kind::Ftp ? "Ftp" : kind == Kind::Sftp ? "Sftp" : "LocalFolder";
}
void PrintTo(Kind kind, std::ostream* out) { *out << KindName(kind); }

// A real destination per test: an FTP(S) or SSH server of its own, or a local
// folder; `url_`, `remote_` (where the files land) and `connection_` lead there.
class TransferTest : public ::testing::Test {
  protected:
    std::string Local(const std::string& name, std::string_view content) {
        WriteBytes(local_ / name, content);
        return local_ / name;
    }
    Uploader MakeUploader(const Names& paths, const std::string& images = "") const {
        const RemoteFolder folder = *ParseRemoteFolder(url_);
        return Uploader(connection_,
                        PlanUploads(paths, folder, *ResolveImageFolder(folder, images)));
    }
    std::string Remote(const std::string& name) const { return ReadBytes(remote_ + name); }

    void UseFtp(bool tls = false) {
        if (!FtpServer::Available()) GTEST_SKIP() << "vsftpd or openssl is not installed";
        ftp_.tls = tls;
        ASSERT_EQ(ftp_.Start(), "");
        url_ = ftp_.Url(tls ? "ftps" : "ftp");
        remote_ = ftp_.PubDir();
        connection_.user = "anonymous";
        connection_.password = FtpServer::kPassword;
        connection_.connectTimeoutSeconds = connection_.stallSeconds = 5;
    }
    void UseSftp() {
        if (!SchemeAvailable(Scheme::Sftp) || !SshServer::Available()) {
            GTEST_SKIP() << "no sftp in this libcurl, or sshd (openssh-server) not installed";
        }
        ASSERT_EQ(ssh_.Start(), "");
        url_ = ssh_.Url();
        remote_ = ssh_.WwwDir();
        connection_.user = SshServer::UserName();
        connection_.keyFile = ssh_.File("client");
        connection_.password = SshServer::kKeyPassphrase;
        connection_.knownHostsFile = ssh_.File("known_hosts");
        connection_.connectTimeoutSeconds = connection_.stallSeconds = 5;
    }
    void UseLocalFolder() { url_ = "file://" + (remote_ = web_.dir()); }
    void Use(Kind kind) {
        switch (kind) {
            case Kind::Ftp:
                return UseFtp();
            case Kind::Sftp:
                return UseSftp();
            case Kind::File:
                return UseLocalFolder();
        }
    }

    TempDir local_, web_, serverBase_;
    FtpServer ftp_{serverBase_.dir()};
    SshServer ssh_{serverBase_.dir()};
    std::string url_, remote_;
    Connection connection_;
    RecordingObserver observer_;
};

// The same case on every kind of destination.
class EveryDestinationTest : public TransferTest, public ::testing::WithParamInterface<Kind> {
  protected:
    void SetUp() override { Use(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(, EveryDestinationTest,
                         ::testing::Values(Kind::Ftp, Kind::Sftp, Kind::File),
                         [](const auto& info) { return KindName(info.param); });

TEST_P(EveryDestinationTest, QuotedJapaneseNamesReplaceThePageAndTheMissingFileIsNamed) {
    const std::string name = "a \"b\" 日記.html", image = "画像/写真 \"1\".jpg";
    WriteBytes(remote_ + name, "old page");
    std::filesystem::create_directory(remote_ + "画像");
    const std::string missing = local_ / "消えた.html";
    const Names paths = {Local(name, "<html>\x93\xfa\x8b\x4c</html>"), missing,
                         Local("写真 \"1\".jpg", std::string(70000, 'j'))};
    Uploader uploader = MakeUploader(paths, "画像");

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(remote_), (Names{name, image}));
    EXPECT_EQ(Remote(name), ReadBytes(paths[0]));
    EXPECT_EQ(Remote(image), ReadBytes(paths[2]));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {missing, "見つかりません"}));
}

TEST_P(EveryDestinationTest, RefusedSetUpStopsTheRunWithAPlainReason) {
    struct Row {
        const char* option;
        std::function<void(Connection&)> spoil;
    };
    const Row rows[] = {
        // Longer than any text the library takes.
        {"CURLOPT_USERNAME", [](Connection& c) { c.user.assign(9'000'000, 'u'); }},
        {"CURLOPT_CONNECTTIMEOUT", [](Connection& c) { c.connectTimeoutSeconds = -1; }},
    };
    const Names paths = {Local("first.html", "1"), Local("second.html", "2")};
    const Connection good = connection_;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        row.spoil(connection_ = good);
        Uploader uploader = MakeUploader(paths);

        EXPECT_FALSE(uploader.SendPending(observer_));

        EXPECT_EQ(FilesBelow(remote_), Names{});
        EXPECT_TRUE(HasAll(FailureReport(uploader),
                           {"「first.html」を送れませんでした", "通信の準備ができませんでした",
                            row.option, "残りの 1 件はまだ送っていません"}));
        if (GetParam() != Kind::File) {
            EXPECT_TRUE(HasAll(TestConnection(*ParseRemoteFolder(url_), connection_),
                               {"通信の準備ができませんでした", row.option}));
        }
    }
}

// The user's cancel, or the server vanishing, while the second of three files
// is on its way.
struct Interruption {
    Kind kind;
    bool serverStops;
};
std::string InterruptionName(const Interruption& interruption) {
    return KindName(interruption.kind) + (interruption.serverStops ? "ServerStops" : "Cancelled");
}
void PrintTo(const Interruption& interruption, std::ostream* out) {
    *out << InterruptionName(interruption);
}

class InterruptedTransferTest : public TransferTest,
                                public ::testing::WithParamInterface<Interruption> {
  protected:
    void SetUp() override { Use(GetParam().kind); }
};

INSTANTIATE_TEST_SUITE_P(
    , InterruptedTransferTest,
    ::testing::Values(Interruption{Kind::Ftp, false}, Interruption{Kind::Sftp, false},
                      Interruption{Kind::File, false}, Interruption{Kind::Ftp, true}),
    [](const auto& info) {
        return KindName(info.param.kind) + (info.param.serverStops ? "ServerStops" : "Cancelled");
    });

TEST_P(InterruptedTransferTest, LeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    const bool serverStops = GetParam().serverStops;
    const std::string big = Local("big.html", std::string(8 * 1024 * 1024, 'b'));
    Uploader uploader =
        MakeUploader({Local("first.html", "first"), big, Local("last.html", "last")});
    observer_.midwayBytes = 256 * 1024;
    observer_.midway = [&] { serverStops ? ftp_.Stop() : void(observer_.cancel = true); };

    EXPECT_FALSE(uploader.SendPending(observer_));
    EXPECT_EQ(uploader.cancelled(), !serverStops);
    EXPECT_FALSE(std::filesystem::exists(remote_ + "big.html"));
    EXPECT_FALSE(std::filesystem::exists(remote_ + "last.html"));
    EXPECT_TRUE(HasAll(FailureReport(uploader),
                       {"「big.html」を送れませんでした", serverStops ? "" : "取り消しました"}));

    // Marked at the destination: a retry that sent it again would overwrite it.
    WriteBytes(remote_ + "first.html", "kept");
    if (serverStops) {
        ASSERT_EQ(ftp_.Start(), "");
    }
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, (Names{"big.html", "last.html"}));
    EXPECT_EQ(FilesBelow(remote_), (Names{"big.html", "first.html", "last.html"}));
    EXPECT_EQ(Remote("first.html"), "kept");
    EXPECT_EQ(Remote("big.html"), ReadBytes(big));
}

class FtpTransferTest : public TransferTest {
  protected:
    void SetUp() override { UseFtp(); }
};

TEST_F(FtpTransferTest, WrongPasswordIsExplainedAndNeverShown) {
    connection_.password = "wrong-pw";
    Uploader uploader = MakeUploader({Local("page.html", "page")});

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(remote_), Names{});
    const std::string report = FailureReport(uploader);
    EXPECT_TRUE(HasAll(report, {"「page.html」を送れませんでした", "ログインできませんでした"}));
    EXPECT_EQ(report.find("wrong-pw"), std::string::npos) << report;
}

// A server whose renames never replace a file: RNTO onto the page is refused.
class NoReplaceFtpTest : public TransferTest {
  protected:
    void SetUp() override {
        ftp_.preload = NO_REPLACE_RENAME_LIBRARY;
        UseFtp();
    }

    // A plain RNFR/RNTO of `from` onto `to` (paths below the login folder).
    CURLcode RenameOnServer(const std::string& from, const std::string& to) const {
        EasyHandle curl(curl_easy_init());
        CommandList commands;
        if (!curl || !Append(commands, "RNFR " + from) || !Append(commands, "RNTO " + to)) {
            return CURLE_FAILED_INIT;
        }
        CURLcode code = CURLE_OK;
        const auto set = [&](CURLoption option, auto value) {
            if (code == CURLE_OK) code = curl_easy_setopt(curl.get(), option, value);
        };
        set(CURLOPT_URL, url_.c_str());
        set(CURLOPT_USERNAME, "anonymous");
        set(CURLOPT_PASSWORD, FtpServer::kPassword);
        set(CURLOPT_NOBODY, 1L);
        set(CURLOPT_QUOTE, commands.get());
        return code == CURLE_OK ? curl_easy_perform(curl.get()) : code;
    }
};

TEST_F(NoReplaceFtpTest, PageIsDeletedThenReplacedAndANewOneRenamedStraight) {
    const std::string name = "a \"b\" 日記.html";
    WriteBytes(remote_ + name, "old page");
    WriteBytes(remote_ + "other.html", "other");
    // The server really refuses: a plain rename onto the page fails.
    ASSERT_EQ(RenameOnServer("pub/other.html", "pub/" + name), CURLE_QUOTE_ERROR);
    Uploader uploader = MakeUploader({Local(name, "new page"), Local("new.html", "new")});

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(remote_), (Names{name, "new.html", "other.html"}));
    EXPECT_EQ(Remote(name), "new page");
    EXPECT_EQ(Remote("new.html"), "new");
}

TEST_F(NoReplaceFtpTest, ReplaceNeverDeletesThePageWithoutItsTemporaryFile) {
    const RemoteFolder folder = *ParseRemoteFolder(url_);
    const std::string name = "a \"b\" 日記.html";
    WriteBytes(remote_ + name, "old page");

    EXPECT_NE(ReplaceWithTemporary(folder, name, connection_), CURLE_OK);
    EXPECT_EQ(Remote(name), "old page");

    WriteBytes(remote_ + TemporaryName(name), "new page");
    EXPECT_EQ(ReplaceWithTemporary(folder, name, connection_), CURLE_OK);
    EXPECT_EQ(FilesBelow(remote_), Names{name});
    EXPECT_EQ(Remote(name), "new page");
}

class FtpsTransferTest : public TransferTest {
  protected:
    void SetUp() override { UseFtp(true); }
};

TEST_F(FtpsTransferTest, UntrustedCertificateIsRefusedByDefault) {
    Uploader uploader = MakeUploader({Local("page.html", "p")});

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「page.html」を送れませんでした", "証明書"}));
    EXPECT_EQ(FilesBelow(remote_), Names{});
}

class SftpTransferTest : public TransferTest {
  protected:
    void SetUp() override { UseSftp(); }
};

TEST_F(SftpTransferTest, UnknownHostKeyIsRefused) {
    connection_.knownHostsFile = Local("known_hosts", "");
    Uploader uploader = MakeUploader({Local("a.html", "a")});

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_TRUE(HasAll(FailureReport(uploader), {"「a.html」を送れませんでした", "ホスト鍵"}));
    EXPECT_EQ(FilesBelow(remote_), Names{});
}

TEST_F(TransferTest, LocalFolderPageKeepsItsPermissions) {
    UseLocalFolder();
    WriteBytes(remote_ + "日記.html", "old page");
    ::chmod((remote_ + "日記.html").c_str(), 0640);
    Uploader uploader = MakeUploader({Local("日記.html", "new page")});

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(ReadBytes(remote_ + "日記.html"), "new page");
    EXPECT_EQ(std::filesystem::status(remote_ + "日記.html").permissions(),
              std::filesystem::perms(0640));
}

}  // namespace
}  // namespace qm::tavmo
