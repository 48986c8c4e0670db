// Sending into a mounted or local web folder (file://).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "recording_observer.h"
#include "support/temp_dir.h"
#include "tavmo/batch_run.h"
#include "tavmo/upload_list.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::RecordingObserver;
using test::TempDir;
using test::WriteBytes;

class FileTransferTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(web_ / "img"); }

    std::string Local(const std::string& name, std::string_view content) {
        WriteBytes(local_ / name, content);
        return local_ / name;
    }

    Uploader MakeUploader(const std::vector<std::string>& paths,
                          const std::string& imageFolder = "") {
        auto pages = ParseRemoteFolder("file://" + web_.dir());
        auto images = ResolveImageFolder(*pages, imageFolder);
        return Uploader(Connection{}, PlanUploads(paths, *pages, *images));
    }

    std::vector<std::string> WebFiles() const {
        std::vector<std::string> names;
        for (auto& entry : std::filesystem::recursive_directory_iterator(web_.dir())) {
            if (entry.is_regular_file()) {
                names.push_back(std::filesystem::relative(entry.path(), web_.dir()).string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir local_;
    TempDir web_;
};

TEST_F(FileTransferTest, JapaneseNamesArriveWholeAndImagesGoToTheImageFolder) {
    const std::string page = Local("日記2026-12-first.html", "<p>\x82\xa0</p>");
    const std::string log = Local("ログ ページ.html", "log");
    const std::string image = Local("猫.gif", std::string(3000, 'g'));
    Uploader uploader = MakeUploader({page, log, image}, "img");
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);

    EXPECT_EQ(WebFiles(), (std::vector<std::string>{"img/猫.gif", "ログ ページ.html",
                                                    "日記2026-12-first.html"}));
    EXPECT_EQ(ReadBytes(web_ / "日記2026-12-first.html"), "<p>\x82\xa0</p>");
    EXPECT_EQ(ReadBytes(web_ / "img/猫.gif"), std::string(3000, 'g'));
    EXPECT_EQ(observer.lastDone, uploader.TotalBytes());
}

TEST_F(FileTransferTest, ReplacedPageKeepsItsPermissions) {
    WriteBytes(web_ / "index.html", "old");
    ::chmod((web_ / "index.html").c_str(), 0640);
    Uploader uploader = MakeUploader({Local("index.html", "new")});
    RecordingObserver observer;

    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);

    EXPECT_EQ(ReadBytes(web_ / "index.html"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((web_ / "index.html").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FileTransferTest, MissingFileIsNamedAndTheOthersAreSent) {
    const std::string gone = local_ / "ない.html";
    Uploader uploader = MakeUploader({Local("a.html", "a"), gone, Local("b.html", "b")});
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_EQ(WebFiles(), (std::vector<std::string>{"a.html", "b.html"}));
    EXPECT_NE(FailureReport(uploader).find(gone), std::string::npos);
    EXPECT_EQ(observer.started, (std::vector<std::string>{"a.html", "b.html"}));
}

TEST_F(FileTransferTest, CancelledFileLeavesNoTraceAndRetrySendsOnlyWhatIsLeft) {
    const std::string first = Local("first.html", "first");
    const std::string big = Local("big.html", std::string(4 * 1024 * 1024, 'x'));
    WriteBytes(web_ / "big.html", "the page as it was");
    Uploader uploader = MakeUploader({first, big});
    RecordingObserver observer;
    observer.actDuring = "big.html";
    observer.action = [&observer] { observer.cancel = true; };

    EXPECT_FALSE(uploader.SendPending(observer));
    EXPECT_TRUE(uploader.cancelled());
    // The old page is untouched and no temporary file is left.
    EXPECT_EQ(ReadBytes(web_ / "big.html"), "the page as it was");
    EXPECT_EQ(WebFiles(), (std::vector<std::string>{"big.html", "first.html"}));

    WriteBytes(web_ / "first.html", "kept");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, (std::vector<std::string>{"big.html"}));
    EXPECT_EQ(ReadBytes(web_ / "first.html"), "kept");
    EXPECT_EQ(ReadBytes(web_ / "big.html"), ReadBytes(big));
}

TEST_F(FileTransferTest, FileThatAppearsBeforeTheRetryIsSentThen) {
    const std::string late = local_ / "late.html";
    Uploader uploader = MakeUploader({late});
    RecordingObserver observer;
    EXPECT_FALSE(uploader.SendPending(observer));

    WriteBytes(late, "here now");
    ASSERT_TRUE(uploader.SendPending(observer)) << FailureReport(uploader);
    EXPECT_EQ(ReadBytes(web_ / "late.html"), "here now");
}

TEST_F(FileTransferTest, MissingDestinationFolderIsReportedAndNotCreated) {
    auto folder = ParseRemoteFolder(web_ / "typo");
    Uploader uploader(Connection{},
                      PlanUploads({Local("a.html", "a"), Local("b.html", "b")}, *folder, *folder));
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));

    const std::string report = FailureReport(uploader);
    EXPECT_NE(report.find("「a.html」を送れませんでした"), std::string::npos) << report;
    EXPECT_NE(report.find("送り先のフォルダが見つかりません"), std::string::npos) << report;
    EXPECT_NE(report.find("「b.html」を送れませんでした"), std::string::npos) << report;
    EXPECT_FALSE(std::filesystem::exists(web_ / "typo"));
}

TEST_F(FileTransferTest, MissingImageFolderStillLetsThePagesGo) {
    Uploader uploader = MakeUploader({Local("a.jpg", "jpg"), Local("a.html", "page")}, "nope/");
    RecordingObserver observer;

    EXPECT_FALSE(uploader.SendPending(observer));

    EXPECT_EQ(WebFiles(), (std::vector<std::string>{"a.html"}));
    EXPECT_NE(FailureReport(uploader).find("「a.jpg」を送れませんでした"), std::string::npos);
}

TEST_F(FileTransferTest, ConnectionTestLooksAtTheFolder) {
    EXPECT_EQ(TestConnection(*ParseRemoteFolder(web_.dir()), Connection{}), "");
    EXPECT_NE(
        TestConnection(*ParseRemoteFolder(web_ / "none"), Connection{}).find("見つかりません"),
        std::string::npos);
}

}  // namespace
}  // namespace qm::tavmo
