// Sending to real FTP, FTPS and SSH servers on the loopback address, and into
// a local web folder.
#include "tavmo/transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

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

// Every file below `dir`, relative and sorted.
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
    void BytesSent(std::uint64_t done, std::uint64_t) override {
        if (midway && done >= midwayBytes) std::exchange(midway, nullptr)();
    }
    bool CancelRequested() override { return cancel; }
};

enum class Kind { Ftp, Ftps, Sftp, File };
const char* const kKindNames[] = {"Ftp", "Ftps", "Sftp", "LocalFolder"};
void PrintTo(Kind kind, std::ostream* out) { *out << kKindNames[int(kind)]; }

// An FTP(S) or SSH server of the test's own, or a local folder; `remote_` is
// where the files land.
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

    void Use(Kind kind) {
        connection_.connectTimeoutSeconds = connection_.stallSeconds = 5;
        if (kind == Kind::File) {
            url_ = "file://" + (remote_ = web_.dir());
        } else if (kind == Kind::Sftp) {
            if (!SchemeAvailable(Scheme::Sftp)) GTEST_SKIP() << "no sftp in this libcurl";
            ASSERT_EQ(ssh_.Start(), "");
            url_ = ssh_.Url();
            remote_ = ssh_.WwwDir();
            connection_.user = SshServer::UserName();
            connection_.keyFile = ssh_.File("client");
            connection_.password = SshServer::kKeyPassphrase;
            connection_.knownHostsFile = ssh_.File("known_hosts");
        } else {
            ftp_.tls = kind == Kind::Ftps;
            ASSERT_EQ(ftp_.Start(), "");
            url_ = ftp_.Url(ftp_.tls ? "ftps" : "ftp");
            remote_ = ftp_.PubDir();
            connection_.user = "anonymous";
            connection_.password = FtpServer::kPassword;
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
                         [](const auto& info) { return kKindNames[int(info.param)]; });

TEST_P(EveryDestinationTest, QuotedJapaneseNamesReplaceThePageAndTheMissingFileIsNamed) {
    const std::string name = "a \"b\" 日記.html", image = "画像/写真 \"1\".jpg";
    WriteBytes(remote_ + name, "old page");
    ::chmod((remote_ + name).c_str(), 0640);  // a local folder's page keeps it
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
    if (GetParam() == Kind::File) {
        EXPECT_EQ(std::filesystem::status(remote_ + name).permissions(),
                  std::filesystem::perms(0640));
    }
}

// The user's cancel, or the server vanishing, while the second of three files
// is on its way.
class InterruptedTransferTest : public TransferTest,
                                public ::testing::WithParamInterface<std::pair<Kind, bool>> {
  protected:
    void SetUp() override { Use(GetParam().first); }
};

INSTANTIATE_TEST_SUITE_P(, InterruptedTransferTest,
                         ::testing::Values(std::pair{Kind::Ftp, false},
                                           std::pair{Kind::Sftp, false},
                                           std::pair{Kind::File, false},
                                           std::pair{Kind::Ftp, true}),
                         [](const auto& info) {
                             return std::string(kKindNames[int(info.param.first)]) +
                                    (info.param.second ? "ServerStops" : "Cancelled");
                         });

TEST_P(InterruptedTransferTest, LeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    const bool serverStops = GetParam().second;
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
                       {"「big.html」を送れませんでした",
                        serverStops ? "「last.html」を送れませんでした" : "取り消しました",
                        serverStops ? "" : "残りの 1 件はまだ送っていません"}));

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

// A wrong password (never shown), an untrusted FTPS certificate (the default
// refuses it), an unknown SSH host key.
class RefusedLoginTest : public TransferTest, public ::testing::WithParamInterface<Kind> {};

INSTANTIATE_TEST_SUITE_P(, RefusedLoginTest, ::testing::Values(Kind::Ftp, Kind::Ftps, Kind::Sftp),
                         [](const auto& info) { return kKindNames[int(info.param)]; });

TEST_P(RefusedLoginTest, NothingIsSentAndTheReasonIsPlain) {
    Use(GetParam());
    if (GetParam() == Kind::Ftp) connection_.password = "wrong-pw";
    if (GetParam() == Kind::Sftp) connection_.knownHostsFile = Local("known_hosts", "");
    Uploader uploader = MakeUploader({Local("page.html", "page")});

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(remote_), Names{});
    const std::string report = FailureReport(uploader);
    const char* why[] = {"ログインできませんでした", "証明書", "ホスト鍵"};
    EXPECT_TRUE(HasAll(report, {"「page.html」を送れませんでした", why[int(GetParam())]}));
    EXPECT_EQ(report.find("wrong-pw"), std::string::npos) << report;
    EXPECT_TRUE(
        HasAll(TestConnection(*ParseRemoteFolder(url_), connection_), {why[int(GetParam())]}));
}

// A server whose renames never replace a file (RNTO onto the page is refused):
// the page is deleted then replaced, never without its temporary file, and a
// new file is renamed straight.
TEST_F(TransferTest, WhereRenameCannotReplaceThePageIsDeletedThenReplaced) {
    ftp_.preload = NO_REPLACE_RENAME_LIBRARY;
    Use(Kind::Ftp);
    const std::string name = "a \"b\" 日記.html";
    WriteBytes(remote_ + name, "old page");
    WriteBytes(remote_ + "other.html", "other");
    // The server really refuses: a plain rename onto the page fails.
    EasyHandle curl(curl_easy_init());
    CommandList commands;
    ASSERT_TRUE(Append(commands, "RNFR pub/other.html") && Append(commands, "RNTO pub/" + name));
    curl_easy_setopt(curl.get(), CURLOPT_URL, url_.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_USERPWD, ("anonymous:" + connection_.password).c_str());
    curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_QUOTE, commands.get());
    ASSERT_EQ(curl_easy_perform(curl.get()), CURLE_QUOTE_ERROR);
    Uploader uploader = MakeUploader({Local(name, "new page"), Local("new.html", "new")});

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(remote_), (Names{name, "new.html", "other.html"}));
    EXPECT_EQ(Remote(name), "new page");
    EXPECT_EQ(Remote("new.html"), "new");
}

}  // namespace
}  // namespace qm::tavmo
