// Choosing the diary page of the period, and linking new pages from the log.
#include "engine/diary_page.h"

#include <gtest/gtest.h>

#include <string>

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

const std::string kPrototype = "<html>\r\n" + Sjis("<!-- ここに挿入 -->") + "\r\n</html>";
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kEmptyLog = "<ul>\r\n" + kLogMarker + "\r\n</ul>";
const std::string kNul(1, '\0');

TEST(PageNames, FollowTheModeAndTheDate) {
    ActiveConfig config;
    config.diaryFolder = "/web/";
    config.prototypePath = "/web/original.html";
    const struct {
        int mode;
        const char *when, *page;
    } rows[] = {
        {1, "2003-01-31 23:59:59", "diary03-Jan.html"},
        {1, "2003-02-01 00:00:00", "diary03-Feb.html"},
        {3, "2003-01-14 23:59:59", "diary03-Jan-first.html"},
        {3, "2003-01-15 00:00:00", "diary03-Jan-second.html"},
        {3, "2003-01-16 12:00:00", "diary03-Jan-second.html"},
        {3, "2003-01-31 12:00:00", "diary03-Jan-second.html"},
        {2, "2004-01-31 12:00:00", "diary04-Jan-04.html"},  // Saturday
        {2, "2004-02-01 12:00:00", "diary04-Feb-05.html"},  // Sunday: a new week
        {2, "2003-01-31 12:00:00", "diary03-Jan-04.html"},  // one week, two months
        {2, "2003-02-01 12:00:00", "diary03-Feb-04.html"},
        {2, "2003-12-31 12:00:00", "diary03-Dec-52.html"},
        {2, "2004-01-01 12:00:00", "diary04-Jan-00.html"},
        {2, "2006-01-01 12:00:00", "diary06-Jan-01.html"},  // New Year on a Sunday
        {0, "2003-01-31 12:00:00", "original.html"},
        {4, "2003-01-31 12:00:00", "original.html"},
        {-1, "2003-01-31 12:00:00", "original.html"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(DiaryPageName(r.mode, config, Tm(r.when)), "/web/" + std::string(r.page))
            << r.mode << " " << r.when;
    }
}

TEST(PageNames, LogLinkTakesTheFileNameAndTheTitleInTheLogTokenSet) {
    const std::tm march20 = Tm("2003-03-20 10:00:00");
    const std::string link = kLogMarker + "\r\n<a href =";
    EXPECT_EQ(LogLinkText("/web/diary03-Feb.html", Sjis("*Y年*k月*S"), march20),
              link + Sjis("diary03-Feb.html>2003年三月後半</a><BR>"));
    EXPECT_EQ(LogLinkText("p.html", "*o*H", march20), link + "p.html>*o*H</a><BR>");
    // 十 ends in the byte of a backslash; it is part of the name, no separator.
    EXPECT_EQ(LogLinkText("C:\\web\\" + Sjis("十日記十.html"), "", march20),
              link + Sjis("十日記十.html") + "></a><BR>");
}

class PageSelection : public ::testing::Test {
  protected:
    PageSelection() : clock_("2003-02-05 10:00:00") {
        config_.diaryFolder = config_.programDir = dir_.dir();
        config_.prototypePath = dir_ / "original.html";
        config_.configIniPath = dir_ / "set.ini";
        config_.systemIniPath = dir_ / "QMsys.ini";
        config_.logPath = dir_ / "log.html";
        config_.splitMode = 1;
        WriteBytes(config_.prototypePath, kPrototype);
        WriteBytes(config_.logPath, kEmptyLog);
    }
    bool Select(int mode, const char* when = nullptr) {
        if (when) clock_.Set(when);
        config_.splitMode = mode;
        return SelectDiaryPage(config_, run_, mode, host_);
    }
    void UpdateLog(const char* when, std::string_view page) {
        clock_.Set(when);
        config_.diaryPage = dir_ / std::string(page);
        UpdateLogPage(config_, run_, host_);
    }
    std::string Recorded() const {
        return ReadProfileString(config_.configIniPath, "FILEPATH", "QUILL", "(none)", 260);
    }
    // Every message as "text|caption" lines, pages named without the folder.
    std::string Shown() const {
        std::string all;
        for (const auto& m : host_.messages) {
            std::string text = test::Utf8(m.text);
            if (text.rfind(dir_.dir(), 0) == 0) text.erase(0, dir_.dir().size());
            all += text + "|" + test::Utf8(m.caption) + "\n";
        }
        return all;
    }
    std::string Announced(std::string_view page, std::string_view text) const {
        return std::string(page) + Said(text, msg::kNewPageCaption) + "\n";
    }
    std::string Log() const { return ReadBytes(config_.logPath); }

    test::TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    RunState run_;
    test::FakeHost host_;
};

TEST_F(PageSelection, MonthRolloverMakesEachPageOnceAndLinksItNewestFirst) {
    ASSERT_TRUE(Select(1, "2003-01-31 23:00:00"));
    EXPECT_TRUE(run_.logUpdated);
    WriteBytes(config_.diaryPage, "edited");
    ::chmod(config_.diaryPage.c_str(), 0444);
    auto holder = LockedFile::Open(config_.diaryPage, LockedFile::Mode::OpenExisting);
    run_.logUpdated = false;
    ASSERT_TRUE(Select(1, "2003-01-31 23:30:00"));  // the page counts though locked, read-only
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(config_.diaryPage), "edited");
    ASSERT_TRUE(Select(1, "2003-02-01 08:00:00"));
    EXPECT_TRUE(run_.logUpdated);
    EXPECT_EQ(Shown(), Announced("diary03-Jan.html", msg::kNewMonthText) +
                           Announced("diary03-Feb.html", msg::kNewMonthText));
    EXPECT_EQ(Recorded(), dir_ / "diary03-Feb.html");
    EXPECT_EQ(ReadBytes(config_.diaryPage), kPrototype);
    EXPECT_EQ(Log(), "<ul>\r\n" + kLogMarker +
                         Sjis("\r\n<a href =diary03-Feb.html>02月01日以降の日記</a><BR>"
                              "\r\n<a href =diary03-Jan.html>01月31日以降の日記</a><BR>\r\n</ul>") +
                         kNul);
}

TEST_F(PageSelection, HalfMonthWeekAndNewYearPagesAreAnnouncedAsSuch) {
    for (const char* when : {"2003-03-14 10:00:00", "2003-03-15 10:00:00", "2003-03-16 10:00:00"}) {
        ASSERT_TRUE(Select(3, when));
    }
    for (const char* when : {"2003-12-31 23:59:59", "2004-01-01 00:00:01", "2004-01-03 10:00:00"}) {
        ASSERT_TRUE(Select(2, when));
    }
    EXPECT_EQ(Shown(), Announced("diary03-Mar-first.html", msg::kNewHalfText) +
                           Announced("diary03-Mar-second.html", msg::kNewHalfText) +
                           Announced("diary03-Dec-52.html", msg::kNewWeekText) +
                           Announced("diary04-Jan-00.html", msg::kNewWeekText));
}

TEST_F(PageSelection, WithoutPrototypeOrLogTheRolloverIsStillAnnounced) {
    RemoveFile(config_.prototypePath);
    ASSERT_TRUE(Select(1));
    EXPECT_FALSE(FileExists(config_.diaryPage));
    EXPECT_TRUE(run_.logUpdated);
    const std::string log = Log();
    config_.logPath.clear();
    run_ = {};
    ASSERT_TRUE(Select(1, "2003-03-01 10:00:00"));
    EXPECT_EQ(Shown(), Announced("diary03-Feb.html", msg::kNewMonthText) +
                           Announced("diary03-Mar.html", msg::kNewMonthText));
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), log);
}

TEST_F(PageSelection, ModeZeroWritesThePrototypeAndAsksForAMissingOne) {
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(Recorded(), config_.prototypePath);
    EXPECT_EQ(Shown() + Log(), kEmptyLog);
    RemoveFile(config_.prototypePath);
    EXPECT_FALSE(Select(0));  // no dialog: one message, then stop
    EXPECT_EQ(host_.Only(), Said(msg::kPrototypeText, msg::kPrototypeCaption));
    host_ = {};
    host_.pathSettings = [this](ActiveConfig& config) {
        if (host_.pathSettingsVisits == 2) {
            config.prototypePath = dir_ / "other.html";
            WriteBytes(config.prototypePath, kPrototype);
            config.splitMode = 3;  // used at once
        }
        return true;
    };
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(host_.CountCaption(msg::kPrototypeCaption), 2);
    EXPECT_EQ(Recorded(), dir_ / "diary03-Feb-first.html");
    EXPECT_EQ(ReadBytes(config_.diaryPage), kPrototype);
}

TEST_F(PageSelection, LogIsReadUpToItsNulMadeWritableAndTakesTheTitleSetting) {
    WriteBytes(config_.logPath, kEmptyLog + kNul + "old junk" + kNul);
    ::chmod(config_.logPath.c_str(), 0444);
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string("*b *S"));
    UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");
    WriteProfileString(config_.systemIniPath, "LOGSETTING", "TITLE", std::string());
    UpdateLog("2003-02-20 10:00:00", "diary03-Feb.html");
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(test::OwnerCanWrite(config_.logPath));
    EXPECT_EQ(Log(), "<ul>\r\n" + kLogMarker + "\r\n<a href =diary03-Feb.html></a><BR>" +
                         "\r\n<a href =diary03-Jan.html>Jan " + Sjis("前半") + "</a><BR>\r\n</ul>" +
                         kNul);
}

TEST_F(PageSelection, LogFailuresAreReportedLeaveTheLogWholeAndLinkNothing) {
    RemoveFile(config_.logPath);
    UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");  // a missing log is never made
    EXPECT_FALSE(FileExists(config_.logPath));
    WriteBytes(config_.logPath, "<ul></ul>");
    UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");
    EXPECT_EQ(Log(), "<ul></ul>");
    WriteBytes(config_.logPath, kLogMarker);
    {
        auto holder = LockedFile::Open(config_.logPath, LockedFile::Mode::OpenExisting);
        UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");
    }
    EXPECT_EQ(Log(), kLogMarker);
    const std::string large = std::string(8192, 'l') + kLogMarker;
    WriteBytes(config_.logPath, large);
    {
        test::FileSizeLimit limit(4096);
        UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");
    }
    EXPECT_EQ(Log(), large);
    config_.splitMode = 0;  // and without rollover nothing happens
    UpdateLog("2003-01-10 10:00:00", "diary03-Jan.html");
    const std::string open = Said(msg::kLogOpenText, msg::kLogOpenCaption) + "\n";
    EXPECT_EQ(Shown(),
              open + Said(msg::kLogNoMarkerText, msg::kLogNoMarkerCaption) + "\n" + open + open);
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(Log(), large);
}

}  // namespace
}  // namespace qm
