// Sending into a mounted or local web folder (file://).
#include <sys/stat.h>

#include "transfer_support.h"

namespace qm::tavmo {
namespace {

using namespace qm::test;

class FileTransferTest : public TransferTest {
  protected:
    void SetUp() override { std::filesystem::create_directory(web_ / "img"); }

    Uploader MakeUploader(const std::vector<std::string>& paths, const std::string& images = "",
                          const std::string& folder = "") const {
        const RemoteFolder pages = *ParseRemoteFolder("file://" + web_.dir() + folder);
        return Uploader(Connection{},
                        PlanUploads(paths, pages, *ResolveImageFolder(pages, images)));
    }

    TempDir web_;
};

TEST_F(FileTransferTest, JapaneseNamesArriveAMissingFileIsNamedAndSentOnceItIsThere) {
    const std::string gone = local_ / "ない.html";
    Uploader uploader =
        MakeUploader({Local("日記2026-12-first.html", "<p>\x82\xa0</p>"), gone,
                      Local("ログ ページ.html", "log"), Local("猫.gif", std::string(3000, 'g'))},
                     "img");

    EXPECT_FALSE(uploader.SendPending(observer_));

    EXPECT_EQ(FilesBelow(web_.dir()), (std::vector<std::string>{"img/猫.gif", "ログ ページ.html",
                                                                "日記2026-12-first.html"}));
    EXPECT_EQ(ReadBytes(web_ / "日記2026-12-first.html"), "<p>\x82\xa0</p>");
    EXPECT_EQ(ReadBytes(web_ / "img/猫.gif"), std::string(3000, 'g'));
    EXPECT_EQ(observer_.started,
              (std::vector<std::string>{"猫.gif", "日記2026-12-first.html", "ログ ページ.html"}));
    EXPECT_TRUE(HasAll(FailureReport(uploader), {gone}));

    // Saved before the retry: only it goes then.
    WriteBytes(gone, "here now");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, std::vector<std::string>{"ない.html"});
    EXPECT_EQ(ReadBytes(web_ / "ない.html"), "here now");
    EXPECT_EQ(retry.lastDone, uploader.TotalBytes());
}

TEST_F(FileTransferTest, CancelLeavesNoTraceRetrySendsWhatIsLeftAndKeepsPermissions) {
    WriteBytes(web_ / "big.html", "the page as it was");
    ::chmod((web_ / "big.html").c_str(), 0640);
    const std::string big = Local("big.html", std::string(4 * 1024 * 1024, 'x'));
    Uploader uploader =
        MakeUploader({Local("first.html", "first"), big, Local("after.html", "after")});
    observer_.CancelDuring("big.html");

    EXPECT_FALSE(uploader.SendPending(observer_));
    EXPECT_TRUE(uploader.cancelled());
    EXPECT_TRUE(HasAll(FailureReport(uploader), {"取り消しました"}));
    EXPECT_EQ(uploader.items()[2].state, UploadItem::State::Pending);
    EXPECT_EQ(ReadBytes(web_ / "big.html"), "the page as it was");
    EXPECT_EQ(FilesBelow(web_.dir()), (std::vector<std::string>{"big.html", "first.html"}));

    WriteBytes(web_ / "first.html", "kept");
    RecordingObserver retry;
    ASSERT_TRUE(uploader.SendPending(retry)) << FailureReport(uploader);
    EXPECT_EQ(retry.started, (std::vector<std::string>{"big.html", "after.html"}));
    EXPECT_EQ(ReadBytes(web_ / "first.html"), "kept");
    EXPECT_EQ(ReadBytes(web_ / "big.html"), ReadBytes(big));
    EXPECT_EQ(std::filesystem::status(web_ / "big.html").permissions(),
              std::filesystem::perms(0640));
}

TEST_F(FileTransferTest, MissingFoldersAreReportedNotCreatedAndPagesStillGo) {
    Uploader typo = MakeUploader({Local("a.html", "a"), Local("b.html", "b")}, "", "typo");
    EXPECT_FALSE(typo.SendPending(observer_));
    EXPECT_TRUE(
        HasAll(FailureReport(typo), {"「a.html」を送れませんでした", "「b.html」を送れませんでした",
                                     "送り先のフォルダが見つかりません"}));
    EXPECT_FALSE(std::filesystem::exists(web_ / "typo"));

    Uploader noImages = MakeUploader({Local("a.jpg", "jpg"), Local("a.html", "page")}, "nope/");
    EXPECT_FALSE(noImages.SendPending(observer_));
    EXPECT_EQ(FilesBelow(web_.dir()), std::vector<std::string>{"a.html"});
    EXPECT_TRUE(HasAll(FailureReport(noImages), {"「a.jpg」を送れませんでした"}));
}

}  // namespace
}  // namespace qm::tavmo
