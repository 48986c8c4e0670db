#include <gtest/gtest.h>

#include <string>

#include "engine/diary_page.h"
#include "engine/messages.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::FakeHost;
using test::ReadBytes;
using test::TempDir;
using test::Tm;
using test::WriteBytes;

const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kNul(1, '\0');

TEST(LogLink, LinksThePageFileNameWithTheExpandedTitle) {
    EXPECT_EQ(
        LogLinkText("/web/diary03-Feb.html", Sjis("*m月*d日以降の日記"), Tm("2003-02-05 10:00:00")),
        kLogMarker + Sjis("\r\n<a href =diary03-Feb.html>02月05日以降の日記</a><BR>"));
}

TEST(LogLink, TitleUsesTheLogTokenSet) {
    const std::tm march20 = Tm("2003-03-20 10:00:00");
    const std::string prefix = kLogMarker + "\r\n<a href =p.html>";
    EXPECT_EQ(LogLinkText("p.html", Sjis("*Y年*k月*S"), march20),
              prefix + Sjis("2003年三月後半</a><BR>"));
    EXPECT_EQ(LogLinkText("p.html", "*S", Tm("2003-03-14 10:00:00")),
              prefix + Sjis("前半</a><BR>"));
    EXPECT_EQ(LogLinkText("p.html", "*o*H", march20), prefix + "*o*H</a><BR>");
    EXPECT_EQ(LogLinkText("p.html", "", march20), prefix + "</a><BR>");
}

TEST(LogLink, FileNameIsCutAtTheLastRealSeparator) {
    // 十 ends in the byte of a backslash; it is part of the name, no separator.
    const std::string page = "C:\\web\\" + Sjis("十日記十.html");
    EXPECT_EQ(LogLinkText(page, "t", Tm("2003-03-20 10:00:00")),
              kLogMarker + "\r\n<a href =" + Sjis("十日記十.html") + ">t</a><BR>");
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
    void ExpectOnlyMessage(std::string_view text, std::string_view caption) const {
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_EQ(host_.messages[0].text, Sjis(text));
        EXPECT_EQ(host_.messages[0].caption, Sjis(caption));
    }

    TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    RunState run_;
    FakeHost host_;
};

TEST_F(LogUpdate, EachNewLinkStandsOnItsOwnLineAboveTheOlderOnes) {
    WriteBytes(config_.logPath, "<ul>\r\n" + kLogMarker + "\r\n</ul>");
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string("*b *S"));
    Update();
    clock_.Set("2003-02-20 10:00:00");
    config_.diaryPage = dir_ / "diary03-Feb.html";
    Update();
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(run_.logUpdated);
    EXPECT_EQ(Log(), "<ul>\r\n" + kLogMarker + "\r\n<a href =diary03-Feb.html>Feb " + Sjis("後半") +
                         "</a><BR>\r\n<a href =diary03-Jan.html>Jan " + Sjis("前半") +
                         "</a><BR>\r\n</ul>" + kNul);
}

TEST_F(LogUpdate, EmptyTitleKeyGivesAnEmptyTitle) {
    WriteBytes(config_.logPath, kLogMarker);
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string());
    Update();
    EXPECT_EQ(Log(), kLogMarker + "\r\n<a href =diary03-Jan.html></a><BR>" + kNul);
}

TEST_F(LogUpdate, LogEndingInNulIsReadUpToIt) {
    WriteBytes(config_.logPath, "a" + kLogMarker + "b" + kNul + "old junk" + kNul);
    Update();
    EXPECT_EQ(Log(), "a" + kLogMarker +
                         Sjis("\r\n<a href =diary03-Jan.html>01月10日以降の日記</a><BR>") + "b" +
                         kNul);
}

TEST_F(LogUpdate, ReadOnlyLogIsMadeWritable) {
    WriteBytes(config_.logPath, kLogMarker);
    ::chmod(config_.logPath.c_str(), 0444);
    Update();
    EXPECT_TRUE(run_.logUpdated);
    EXPECT_TRUE(test::OwnerCanWrite(config_.logPath));
    EXPECT_NE(Log().find("diary03-Jan.html"), std::string::npos);
}

TEST_F(LogUpdate, MissingLogIsReportedAndNeverCreated) {
    Update();
    ExpectOnlyMessage(msg::kLogOpenText, msg::kLogOpenCaption);
    EXPECT_FALSE(FileExists(config_.logPath));
    EXPECT_FALSE(run_.logUpdated);
}

TEST_F(LogUpdate, LogWithoutMarkerIsLeftAlone) {
    WriteBytes(config_.logPath, "<ul></ul>");
    Update();
    ExpectOnlyMessage(msg::kLogNoMarkerText, msg::kLogNoMarkerCaption);
    EXPECT_EQ(Log(), "<ul></ul>");
    EXPECT_FALSE(run_.logUpdated);
}

TEST_F(LogUpdate, LogHeldByAnotherHolderIsLeftAlone) {
    WriteBytes(config_.logPath, kLogMarker);
    auto holder = LockedFile::Open(config_.logPath, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    Update();
    ExpectOnlyMessage(msg::kLogOpenText, msg::kLogOpenCaption);
    EXPECT_EQ(Log(), kLogMarker);
    EXPECT_FALSE(run_.logUpdated);
}

TEST_F(LogUpdate, FailedWriteIsReportedAndLeavesTheLogWhole) {
    const std::string before = std::string(8192, 'l') + kLogMarker;
    WriteBytes(config_.logPath, before);
    {
        test::FileSizeLimit limit(4096);
        Update();
    }
    ExpectOnlyMessage(msg::kLogOpenText, msg::kLogOpenCaption);
    EXPECT_EQ(Log(), before);
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
