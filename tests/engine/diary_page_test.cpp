#include "engine/diary_page.h"

#include <gtest/gtest.h>

#include <string>

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

struct NameCase {
    int mode;
    const char* when;
    const char* page;
};

TEST(PageNames, FollowTheModeAndTheDate) {
    ActiveConfig config;
    config.diaryFolder = "/web/";
    config.prototypePath = "/web/original.html";
    const NameCase cases[] = {
        {1, "2003-01-31 23:59:59", "/web/diary03-Jan.html"},
        {1, "2003-02-01 00:00:00", "/web/diary03-Feb.html"},
        {3, "2003-01-01 12:00:00", "/web/diary03-Jan-first.html"},
        {3, "2003-01-14 12:00:00", "/web/diary03-Jan-first.html"},
        {3, "2003-01-15 12:00:00", "/web/diary03-Jan-second.html"},
        {3, "2003-01-16 12:00:00", "/web/diary03-Jan-second.html"},
        {3, "2003-01-31 12:00:00", "/web/diary03-Jan-second.html"},
        {2, "2004-01-30 12:00:00", "/web/diary04-Jan-04.html"},  // Friday
        {2, "2004-01-31 12:00:00", "/web/diary04-Jan-04.html"},  // Saturday
        {2, "2004-02-01 12:00:00", "/web/diary04-Feb-05.html"},  // Sunday: a new week
        {2, "2003-01-31 12:00:00", "/web/diary03-Jan-04.html"},  // one week, two months
        {2, "2003-02-01 12:00:00", "/web/diary03-Feb-04.html"},
        {2, "2003-12-31 12:00:00", "/web/diary03-Dec-52.html"},
        {2, "2004-01-01 12:00:00", "/web/diary04-Jan-00.html"},
        {2, "2006-01-01 12:00:00", "/web/diary06-Jan-01.html"},  // New Year on a Sunday
        {0, "2003-01-31 12:00:00", "/web/original.html"},
        {4, "2003-01-31 12:00:00", "/web/original.html"},
        {-1, "2003-01-31 12:00:00", "/web/original.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DiaryPageName(c.mode, config, Tm(c.when)), c.page) << c.mode << " " << c.when;
    }
}

const std::string kPrototype = "<html>\r\n" + Sjis("<!-- ここに挿入 -->") + "\r\n</html>";
const std::string kEmptyLog = "<ul>\r\n" + Sjis("<!-- ここにログ -->") + "\r\n</ul>";

class PageSelection : public ::testing::Test {
  protected:
    PageSelection() : clock_("2003-02-05 10:00:00") {
        config_.programDir = dir_.dir();
        config_.diaryFolder = dir_.dir();
        config_.prototypePath = dir_ / "original.html";
        config_.configIniPath = dir_ / "set.ini";
        config_.systemIniPath = dir_ / "QMsys.ini";
        config_.logPath = dir_ / "log.html";
        WriteBytes(config_.prototypePath, kPrototype);
        WriteBytes(config_.logPath, kEmptyLog);
    }
    bool Select(int mode) {
        config_.splitMode = mode;
        return SelectDiaryPage(config_, run_, mode, host_);
    }
    std::string Recorded() const {
        return ReadProfileString(config_.configIniPath, "FILEPATH", "QUILL", "(none)", 260);
    }
    std::string Link(std::string_view page, std::string_view titleUtf8) const {
        return Sjis("<!-- ここにログ -->\r\n<a href =") + std::string(page) + ">" +
               Sjis(titleUtf8) + "</a><BR>";
    }
    std::string Log() const { return ReadBytes(config_.logPath); }

    TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    RunState run_;
    FakeHost host_;
};

TEST_F(PageSelection, NewPeriodCopiesThePrototypeTellsTheUserAndLinksThePage) {
    ASSERT_TRUE(Select(1));
    const std::string page = dir_ / "diary03-Feb.html";
    EXPECT_EQ(config_.diaryPage, page);
    EXPECT_EQ(Recorded(), page);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, page + Sjis(msg::kNewMonthText));
    EXPECT_EQ(host_.messages[0].caption, Sjis(msg::kNewPageCaption));
    EXPECT_EQ(ReadBytes(page), kPrototype);
    EXPECT_EQ(Log(), "<ul>\r\n" + Link("diary03-Feb.html", "02月05日以降の日記") + "\r\n</ul>" +
                         std::string(1, '\0'));
    EXPECT_TRUE(run_.logUpdated);
}

TEST_F(PageSelection, PageOfThePeriodIsMadeOnceAndLinkedOnce) {
    ASSERT_TRUE(Select(1));
    const std::string logAfterFirst = Log();
    WriteBytes(config_.diaryPage, "edited");
    clock_.Set("2003-02-27 10:00:00");
    ASSERT_TRUE(Select(1));
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(Log(), logAfterFirst);
    EXPECT_EQ(ReadBytes(config_.diaryPage), "edited");
    EXPECT_EQ(Recorded(), config_.diaryPage);
}

TEST_F(PageSelection, MonthRolloverLinksTheNewPageAboveTheOld) {
    clock_.Set("2003-01-31 23:00:00");
    ASSERT_TRUE(Select(1));
    clock_.Set("2003-02-01 08:00:00");
    ASSERT_TRUE(Select(1));
    const std::string marker = Sjis("<!-- ここにログ -->");
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[1].text, (dir_ / "diary03-Feb.html") + Sjis(msg::kNewMonthText));
    EXPECT_TRUE(FileExists(dir_ / "diary03-Jan.html"));
    EXPECT_TRUE(FileExists(dir_ / "diary03-Feb.html"));
    EXPECT_EQ(Log(), "<ul>\r\n" + marker +
                         Sjis("\r\n<a href =diary03-Feb.html>02月01日以降の日記</a><BR>"
                              "\r\n<a href =diary03-Jan.html>01月31日以降の日記</a><BR>"
                              "\r\n</ul>") +
                         std::string(1, '\0'));
}

TEST_F(PageSelection, HalfMonthTurnsOnTheFifteenth) {
    clock_.Set("2003-03-14 10:00:00");
    ASSERT_TRUE(Select(3));
    clock_.Set("2003-03-15 10:00:00");
    ASSERT_TRUE(Select(3));
    clock_.Set("2003-03-16 10:00:00");
    ASSERT_TRUE(Select(3));
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[0].text, (dir_ / "diary03-Mar-first.html") + Sjis(msg::kNewHalfText));
    EXPECT_EQ(host_.messages[1].text, (dir_ / "diary03-Mar-second.html") + Sjis(msg::kNewHalfText));
    EXPECT_EQ(config_.diaryPage, dir_ / "diary03-Mar-second.html");
}

TEST_F(PageSelection, WeekTurnsOnSundayAndOnTheFirstOfTheMonth) {
    clock_.Set("2004-01-30 10:00:00");  // Friday
    ASSERT_TRUE(Select(2));
    clock_.Set("2004-01-31 10:00:00");  // Saturday, same page
    ASSERT_TRUE(Select(2));
    clock_.Set("2004-02-01 10:00:00");  // Sunday
    ASSERT_TRUE(Select(2));
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[0].text, (dir_ / "diary04-Jan-04.html") + Sjis(msg::kNewWeekText));
    EXPECT_EQ(host_.messages[1].text, (dir_ / "diary04-Feb-05.html") + Sjis(msg::kNewWeekText));
}

TEST_F(PageSelection, NewYearStartsWeekZeroInWeeklyMode) {
    clock_.Set("2003-12-31 23:59:59");
    ASSERT_TRUE(Select(2));
    clock_.Set("2004-01-01 00:00:01");
    ASSERT_TRUE(Select(2));
    EXPECT_TRUE(FileExists(dir_ / "diary03-Dec-52.html"));
    EXPECT_TRUE(FileExists(dir_ / "diary04-Jan-00.html"));
    EXPECT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(Log().substr(0, 6 + Link("diary04-Jan-00.html", "01月01日以降の日記").size()),
              "<ul>\r\n" + Link("diary04-Jan-00.html", "01月01日以降の日記"));
}

TEST_F(PageSelection, ExistingPageCountsEvenWhenHeldElsewhereOrReadOnly) {
    WriteBytes(dir_ / "diary03-Feb.html", "mine");
    auto holder = LockedFile::Open(dir_ / "diary03-Feb.html", LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    ::chmod((dir_ / "diary03-Feb.html").c_str(), 0444);
    ASSERT_TRUE(Select(1));
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(dir_ / "diary03-Feb.html"), "mine");
}

TEST_F(PageSelection, MissingPrototypeInRolloverModeStillAnnouncesAndLinks) {
    RemoveFile(config_.prototypePath);
    ASSERT_TRUE(Select(1));
    EXPECT_EQ(host_.CountCaption(msg::kNewPageCaption), 1);
    EXPECT_FALSE(FileExists(config_.diaryPage));
    EXPECT_TRUE(run_.logUpdated);
}

TEST_F(PageSelection, NoLogPageConfiguredMeansNoLink) {
    const std::string log = config_.logPath;
    config_.logPath.clear();
    ASSERT_TRUE(Select(1));
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(log), kEmptyLog);
}

TEST_F(PageSelection, ModeZeroWritesThePrototypeItself) {
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(config_.diaryPage, config_.prototypePath);
    EXPECT_EQ(Recorded(), config_.prototypePath);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(host_.pathSettingsVisits, 0);
    EXPECT_EQ(Log(), kEmptyLog);
}

TEST_F(PageSelection, MissingPrototypeWithoutDialogStopsAfterOneMessage) {
    RemoveFile(config_.prototypePath);
    EXPECT_FALSE(Select(0));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Sjis(msg::kPrototypeText));
    EXPECT_EQ(host_.messages[0].caption, Sjis(msg::kPrototypeCaption));
    EXPECT_EQ(host_.pathSettingsVisits, 1);
}

TEST_F(PageSelection, MissingPrototypeAsksAgainUntilItExists) {
    RemoveFile(config_.prototypePath);
    host_.pathSettings = [this](ActiveConfig& config) {
        if (host_.pathSettingsVisits == 2) {
            config.prototypePath = dir_ / "other.html";
            WriteBytes(config.prototypePath, kPrototype);
        }
        return true;
    };
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(host_.pathSettingsVisits, 2);
    EXPECT_EQ(host_.CountCaption(msg::kPrototypeCaption), 2);
    EXPECT_EQ(config_.diaryPage, dir_ / "other.html");
    EXPECT_EQ(Recorded(), dir_ / "other.html");
}

TEST_F(PageSelection, ModeChosenInTheDialogIsUsedAtOnce) {
    const std::string prototype = config_.prototypePath;
    RemoveFile(prototype);
    host_.pathSettings = [&](ActiveConfig& config) {
        WriteBytes(prototype, kPrototype);
        config.splitMode = 3;
        return true;
    };
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(config_.diaryPage, dir_ / "diary03-Feb-first.html");
    EXPECT_EQ(ReadBytes(config_.diaryPage), kPrototype);
    EXPECT_EQ(host_.CountCaption(msg::kNewPageCaption), 1);
}

}  // namespace
}  // namespace qm
