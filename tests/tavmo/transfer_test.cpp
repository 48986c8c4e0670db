// Sending to real FTP, FTPS and SSH servers on the loopback address, and into
// a local web folder (the only destination on Windows).
#include "tavmo/transfer.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>

#include "servers.h"
#include "tavmo/batch_run.h"
#include "tavmo/upload_list.h"

namespace qm::tavmo {
namespace {

using namespace qm::test;
using Names = std::vector<std::string>;
// Windows file names cannot hold '"'.
#ifdef _WIN32
const std::string kQuote = "'";
#else
const std::string kQuote = "\"";
#endif

::testing::AssertionResult HasAll(const std::string& text, const Names& parts) {
    for (const std::string& part : parts)
        if (text.find(part) == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << part << "\" in: " << text;
    return ::testing::AssertionSuccess();
}

// Every file below `dir`, relative and sorted.
Names FilesBelow(const std::string& dir) {
    Names names;
    for (auto& entry : std::filesystem::recursive_directory_iterator(FsPath(dir))) {
        if (!entry.is_regular_file()) continue;
        const auto name = std::filesystem::relative(entry.path(), FsPath(dir)).generic_u8string();
        names.emplace_back(name.begin(), name.end());
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

// A destination of the test's own (GetParam() for the parameterised cases).
class TransferTest : public ::testing::TestWithParam<Kind> {
  protected:
    void Use(Kind kind) {
        if (kind == Kind::Sftp && !SchemeAvailable(Scheme::Sftp)) {
            GTEST_SKIP() << "no sftp in this libcurl";
        }
        ASSERT_EQ(server_.Start(kind, login_), "");
    }
    std::string Local(const std::string& name, std::string_view content) {
        std::filesystem::create_directories(FsPath(local_ / name).parent_path());
        WriteBytes(local_ / name, content);
        std::string path = local_ / name;
#ifdef _WIN32
        std::replace(path.begin(), path.end(), '/', '\\');  // as Windows hands paths over
#endif
        return path;
    }
    Uploader MakeUploader(const Names& paths, const std::string& images = "") const {
        const RemoteFolder folder = *ParseRemoteFolder(server_.url);
        return Uploader(login_, PlanUploads(paths, folder, *ResolveImageFolder(folder, images)));
    }
    std::string Remote(const std::string& name) const { return ReadBytes(server_.dir + name); }

    // The user's cancel, or the server vanishing, while the second of three
    // files is on its way: no half page, and a retry sends only what was left.
    void InterruptMidwayThenRetry(bool serverStops) {
        const std::string big = Local("big.html", std::string(8 * 1024 * 1024, 'b'));
        Uploader uploader =
            MakeUploader({Local("first.html", "first"), big, Local("last.html", "last")});
        observer_.midwayBytes = 256 * 1024;
        observer_.midway = [&] { serverStops ? server_.Stop() : void(observer_.cancel = true); };

        EXPECT_FALSE(uploader.SendPending(observer_));
        EXPECT_EQ(uploader.cancelled(), !serverStops);
        EXPECT_FALSE(std::filesystem::exists(server_.dir + "big.html"));
        EXPECT_FALSE(std::filesystem::exists(server_.dir + "last.html"));
        EXPECT_TRUE(HasAll(FailureReport(uploader),
                           {"「big.html」を送れませんでした",
                            serverStops ? "「last.html」を送れませんでした" : "取り消しました",
                            serverStops ? "" : "残りの 1 件はまだ送っていません"}));

        // Marked at the destination: a retry that sent it again would overwrite it.
        WriteBytes(server_.dir + "first.html", "kept");
        ASSERT_EQ(serverStops ? server_.Restart() : "", "");
        RecordingObserver retry;
        ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
        EXPECT_EQ(retry.started, (Names{"big.html", "last.html"}));
        EXPECT_EQ(FilesBelow(server_.dir), (Names{"big.html", "first.html", "last.html"}));
        EXPECT_EQ(Remote("first.html"), "kept");
        EXPECT_EQ(Remote("big.html"), ReadBytes(big));
    }

    TempDir local_, serverBase_;
    TestServer server_{serverBase_.dir()};
    Connection login_;
    RecordingObserver observer_;
};

class EveryDestinationTest : public TransferTest {
    void SetUp() override { Use(GetParam()); }
};
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(, EveryDestinationTest, ::testing::Values(Kind::File),
                         ::testing::PrintToStringParamName());
#else
INSTANTIATE_TEST_SUITE_P(, EveryDestinationTest,
                         ::testing::Values(Kind::Ftp, Kind::Sftp, Kind::File),
                         ::testing::PrintToStringParamName());
#endif

TEST_P(EveryDestinationTest, QuotedJapaneseNamesReplaceThePageAndTheMissingFileIsNamed) {
    const std::string name = "a " + kQuote + "b" + kQuote + " 日記.html";
    const std::string image = "画像/写真 " + kQuote + "1" + kQuote + ".jpg";
    WriteBytes(server_.dir + name, "old page");
#ifndef _WIN32
    ::chmod((server_.dir + name).c_str(), 0640);  // a local folder's page keeps it
#endif
    std::filesystem::create_directory(FsPath(server_.dir + "画像"));
    const std::string missing = local_ / "消えた.html";
    const Names paths = {
        Local(name, "<html>\x93\xfa\x8b\x4c</html>"), missing,
        Local("images/写真 " + kQuote + "1" + kQuote + ".jpg", std::string(70000, 'j'))};
    Uploader uploader = MakeUploader(paths, "画像");

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(server_.dir), (Names{name, image}));
    EXPECT_EQ(Remote(name), ReadBytes(paths[0]));
    EXPECT_EQ(Remote(image), ReadBytes(paths[2]));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {missing, "見つかりません"}));
#ifndef _WIN32
    if (GetParam() == Kind::File) {
        EXPECT_EQ(std::filesystem::status(server_.dir + name).permissions(),
                  std::filesystem::perms(0640));
    }
#endif
}

// A photo's web copy goes where its page links it, into "images/" beside the
// page, made when missing; a destination that is not there is not made.
TEST_P(EveryDestinationTest, PhotoBesideThePageGoesIntoAFolderMadeForIt) {
    std::filesystem::remove(FsPath(server_.dir));
    Uploader uploader = MakeUploader({Local("images/a.jpg", "jpeg"), Local("page.html", "p")});
    EXPECT_FALSE(uploader.SendPending(observer_));
    std::filesystem::create_directory(FsPath(server_.dir));
    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);
    EXPECT_EQ(FilesBelow(server_.dir), (Names{"images/a.jpg", "page.html"}));
}

TEST_P(EveryDestinationTest, CancelLeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    InterruptMidwayThenRetry(false);
}

#ifndef _WIN32
TEST_F(TransferTest, ServerThatStopsLeavesNoHalfPageAndRetrySendsOnlyWhatWasLeft) {
    Use(Kind::Ftp);
    InterruptMidwayThenRetry(true);
}

// A wrong password (never shown), an untrusted FTPS certificate (the default
// refuses it), an unknown SSH host key.
class RefusedLoginTest : public TransferTest {};
INSTANTIATE_TEST_SUITE_P(, RefusedLoginTest, ::testing::Values(Kind::Ftp, Kind::Ftps, Kind::Sftp),
                         ::testing::PrintToStringParamName());

TEST_P(RefusedLoginTest, NothingIsSentAndTheReasonIsPlain) {
    Use(GetParam());
    if (GetParam() == Kind::Ftp) login_.password = "wrong-pw";
    if (GetParam() == Kind::Sftp) login_.knownHostsFile = Local("known_hosts", "");
    Uploader uploader = MakeUploader({Local("page.html", "page")});

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(server_.dir), Names{});
    const std::string report = FailureReport(uploader);
    const char* const reasons[] = {"ログインできませんでした", "証明書", "ホスト鍵"};
    const char* why = reasons[int(GetParam())];
    EXPECT_TRUE(HasAll(report, {"「page.html」を送れませんでした", why}));
    EXPECT_EQ(report.find("wrong-pw"), std::string::npos) << report;
    EXPECT_TRUE(HasAll(TestConnection(*ParseRemoteFolder(server_.url), login_), {why}));
}

// A server whose renames never replace a file (RNTO onto the page is refused):
// the page is deleted then replaced, never without its temporary file, and a
// new file is renamed straight.
TEST_F(TransferTest, WhereRenameCannotReplaceThePageIsDeletedThenReplaced) {
    server_.preload = NO_REPLACE_RENAME_LIBRARY;
    Use(Kind::Ftp);
    const std::string name = "a \"b\" 日記.html";
    WriteBytes(server_.dir + name, "old page");
    WriteBytes(server_.dir + "other.html", "other");
    // The server really refuses: a plain rename onto the page fails.
    EasyHandle curl(curl_easy_init());
    CommandList commands;
    ASSERT_TRUE(Append(commands, "RNFR pub/other.html") && Append(commands, "RNTO pub/" + name));
    curl_easy_setopt(curl.get(), CURLOPT_URL, server_.url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_USERPWD, ("anonymous:" + login_.password).c_str());
    curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_QUOTE, commands.get());
    ASSERT_EQ(curl_easy_perform(curl.get()), CURLE_QUOTE_ERROR);
    Uploader uploader = MakeUploader({Local(name, "new page"), Local("new.html", "new")});

    ASSERT_TRUE(uploader.SendPending(observer_)) << FailureReport(uploader);

    EXPECT_EQ(FilesBelow(server_.dir), (Names{name, "new.html", "other.html"}));
    EXPECT_EQ(Remote(name), "new page");
    EXPECT_EQ(Remote("new.html"), "new");
}
#endif

}  // namespace
}  // namespace qm::tavmo
