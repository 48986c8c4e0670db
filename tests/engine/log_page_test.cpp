#include <gtest/gtest.h>

#include <string>

#include "engine/diary_page.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::Said;
using test::Tm;
using test::WriteBytes;

const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kNul(1, '\0');

TEST(LogLink, PageFileNameWithTheTitleInTheLogTokenSet) {
    const std::tm march20 = Tm("2003-03-20 10:00:00");
    const std::string link = kLogMarker + "\r\n<a href =";
    EXPECT_EQ(LogLinkText("/web/diary03-Feb.html", Sjis("*Y年*k月*S"), march20),
              link + Sjis("diary03-Feb.html>2003年三月後半</a><BR>"));
    EXPECT_EQ(LogLinkText("p.html", "*o*H", march20), link + "p.html>*o*H</a><BR>");
    EXPECT_EQ(LogLinkText("p.html", "", march20), link + "p.html></a><BR>");
    // 十 ends in the byte of a backslash; it is part of the name, no separator.
    EXPECT_EQ(LogLinkText("C:\\web\\" + Sjis("十日記十.html"), "t", march20),
              link + Sjis("十日記十.html") + ">t</a><BR>");
}

class LogUpdate : public ::testing::Test {
  protected:
    LogUpdate() : clock_("2003-01-10 10:00:00") {
        config_.splitMode = 1;
        config_.systemIniPath = dir_ / "QMsys.ini";
        config_.logPath = dir_ / "log.html";
        config_.diaryPage = dir_ / "diary03-Jan.html";
    }
    void Update() { UpdateLogPage(config_, run_, host_); }
    std::string Log() const { return ReadBytes(config_.logPath); }

    test::TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    RunState run_;
    test::FakeHost host_;
};

TEST_F(LogUpdate, NewestLinkOnTopAndTheLogReadUpToItsNul) {
    WriteBytes(config_.logPath, "<ul>\r\n" + kLogMarker + "\r\n</ul>" + kNul + "old junk" + kNul);
    ::chmod(config_.logPath.c_str(), 0444);
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string("*b *S"));
    Update();
    clock_.Set("2003-02-20 10:00:00");
    config_.diaryPage = dir_ / "diary03-Feb.html";
    Update();
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(run_.logUpdated);
    EXPECT_TRUE(test::OwnerCanWrite(config_.logPath));
    EXPECT_EQ(Log(), "<ul>\r\n" + kLogMarker + "\r\n<a href =diary03-Feb.html>Feb " + Sjis("後半") +
                         "</a><BR>\r\n<a href =diary03-Jan.html>Jan " + Sjis("前半") +
                         "</a><BR>\r\n</ul>" + kNul);
}

TEST_F(LogUpdate, DefaultAndEmptyTitles) {
    WriteBytes(config_.logPath, kLogMarker);
    Update();
    EXPECT_EQ(Log(),
              kLogMarker + Sjis("\r\n<a href =diary03-Jan.html>01月10日以降の日記</a><BR>") + kNul);
    WriteBytes(config_.logPath, kLogMarker);
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string());
    Update();
    EXPECT_EQ(Log(), kLogMarker + "\r\n<a href =diary03-Jan.html></a><BR>" + kNul);
}

TEST_F(LogUpdate, FailuresAreReportedLeaveTheLogWholeAndLinkNothing) {
    Update();  // a missing log is never created
    EXPECT_EQ(host_.Only(), Said(msg::kLogOpenText, msg::kLogOpenCaption));
    EXPECT_FALSE(FileExists(config_.logPath));

    host_.messages.clear();
    WriteBytes(config_.logPath, "<ul></ul>");
    Update();
    EXPECT_EQ(host_.Only(), Said(msg::kLogNoMarkerText, msg::kLogNoMarkerCaption));
    EXPECT_EQ(Log(), "<ul></ul>");

    host_.messages.clear();
    WriteBytes(config_.logPath, kLogMarker);
    {
        auto holder = LockedFile::Open(config_.logPath, LockedFile::Mode::OpenExisting);
        Update();
    }
    EXPECT_EQ(host_.Only(), Said(msg::kLogOpenText, msg::kLogOpenCaption));
    EXPECT_EQ(Log(), kLogMarker);

    host_.messages.clear();
    const std::string large = std::string(8192, 'l') + kLogMarker;
    WriteBytes(config_.logPath, large);
    {
        test::FileSizeLimit limit(4096);
        Update();
    }
    EXPECT_EQ(host_.Only(), Said(msg::kLogOpenText, msg::kLogOpenCaption));
    EXPECT_EQ(Log(), large);
    EXPECT_FALSE(run_.logUpdated);
}

TEST_F(LogUpdate, NothingHappensWithoutRolloverOrPage) {
    WriteBytes(config_.logPath, kLogMarker);
    config_.splitMode = 0;
    Update();
    config_.splitMode = 1;
    config_.diaryPage.clear();
    Update();
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Log(), kLogMarker);
    EXPECT_FALSE(run_.logUpdated);
}

}  // namespace
}  // namespace qm
