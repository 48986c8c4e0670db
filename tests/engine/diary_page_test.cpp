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
using test::Tm;
using test::WriteBytes;

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
        {3, "2003-01-14 12:00:00", "diary03-Jan-first.html"},
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

const std::string kPrototype = "<html>\r\n" + Sjis("<!-- ここに挿入 -->") + "\r\n</html>";
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kEmptyLog = "<ul>\r\n" + kLogMarker + "\r\n</ul>";

class PageSelection : public ::testing::Test {
  protected:
    PageSelection() : clock_("2003-02-05 10:00:00") {
        config_.diaryFolder = config_.programDir = dir_.dir();
        config_.prototypePath = dir_ / "original.html";
        config_.configIniPath = dir_ / "set.ini";
        config_.systemIniPath = dir_ / "QMsys.ini";
        config_.logPath = dir_ / "log.html";
        WriteBytes(config_.prototypePath, kPrototype);
        WriteBytes(config_.logPath, kEmptyLog);
    }
    bool Select(int mode, const char* when = nullptr) {
        if (when) clock_.Set(when);
        config_.splitMode = mode;
        return SelectDiaryPage(config_, run_, mode, host_);
    }
    std::string Recorded() const {
        return ReadProfileString(config_.configIniPath, "FILEPATH", "QUILL", "(none)", 260);
    }
    // The announcements shown, one "page|text" a line.
    std::string Announced() const {
        std::string all;
        for (const auto& m : host_.messages) {
            if (m.caption == Sjis(msg::kNewPageCaption)) all += m.text + "\n";
        }
        return all;
    }
    std::string Said(std::string_view page, std::string_view text) const {
        return (dir_ / std::string(page)) + Sjis(text) + "\n";
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
    run_.logUpdated = false;
    ASSERT_TRUE(Select(1, "2003-01-31 23:30:00"));
    EXPECT_FALSE(run_.logUpdated);  // same page: nothing linked
    EXPECT_EQ(ReadBytes(config_.diaryPage), "edited");
    ASSERT_TRUE(Select(1, "2003-02-01 08:00:00"));
    EXPECT_TRUE(run_.logUpdated);
    EXPECT_EQ(Announced(), Said("diary03-Jan.html", msg::kNewMonthText) +
                               Said("diary03-Feb.html", msg::kNewMonthText));
    EXPECT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(config_.diaryPage, dir_ / "diary03-Feb.html");
    EXPECT_EQ(Recorded(), config_.diaryPage);
    EXPECT_EQ(ReadBytes(config_.diaryPage), kPrototype);
    EXPECT_EQ(Log(), "<ul>\r\n" + kLogMarker +
                         Sjis("\r\n<a href =diary03-Feb.html>02月01日以降の日記</a><BR>"
                              "\r\n<a href =diary03-Jan.html>01月31日以降の日記</a><BR>\r\n</ul>") +
                         '\0');
}

TEST_F(PageSelection, HalfMonthAndWeekBoundariesAndNewYear) {
    for (const char* when : {"2003-03-14 10:00:00", "2003-03-15 10:00:00", "2003-03-16 10:00:00"}) {
        ASSERT_TRUE(Select(3, when));
    }
    EXPECT_EQ(Announced(), Said("diary03-Mar-first.html", msg::kNewHalfText) +
                               Said("diary03-Mar-second.html", msg::kNewHalfText));
    host_.messages.clear();
    for (const char* when : {"2004-01-30 10:00:00", "2004-01-31 10:00:00", "2004-02-01 10:00:00"}) {
        ASSERT_TRUE(Select(2, when));
    }
    EXPECT_EQ(Announced(), Said("diary04-Jan-04.html", msg::kNewWeekText) +
                               Said("diary04-Feb-05.html", msg::kNewWeekText));
    host_.messages.clear();
    ASSERT_TRUE(Select(2, "2003-12-31 23:59:59"));
    ASSERT_TRUE(Select(2, "2004-01-01 00:00:01"));
    EXPECT_EQ(Announced(), Said("diary03-Dec-52.html", msg::kNewWeekText) +
                               Said("diary04-Jan-00.html", msg::kNewWeekText));
    const std::string newest = "<ul>\r\n" + kLogMarker + "\r\n<a href =diary04-Jan-00.html>";
    EXPECT_EQ(Log().substr(0, newest.size()), newest);
}

TEST_F(PageSelection, ExistingPageCountsEvenWhenLockedOrReadOnly) {
    WriteBytes(dir_ / "diary03-Feb.html", "mine");
    auto holder = LockedFile::Open(dir_ / "diary03-Feb.html", LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    ::chmod((dir_ / "diary03-Feb.html").c_str(), 0444);
    ASSERT_TRUE(Select(1));
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(dir_ / "diary03-Feb.html"), "mine");
}

TEST_F(PageSelection, WithoutPrototypeOrLogTheRolloverIsStillAnnounced) {
    RemoveFile(config_.prototypePath);
    config_.logPath.clear();
    ASSERT_TRUE(Select(1));
    EXPECT_EQ(Announced(), Said("diary03-Feb.html", msg::kNewMonthText));
    EXPECT_FALSE(FileExists(config_.diaryPage));
    EXPECT_FALSE(run_.logUpdated);
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), kEmptyLog);
}

TEST_F(PageSelection, ModeZeroWritesThePrototypeItself) {
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(config_.diaryPage, config_.prototypePath);
    EXPECT_EQ(Recorded(), config_.prototypePath);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Log(), kEmptyLog);
}

TEST_F(PageSelection, MissingPrototypeAsksUntilItExistsOrStopsWithoutDialog) {
    RemoveFile(config_.prototypePath);
    EXPECT_FALSE(Select(0));
    EXPECT_EQ(host_.Only(), test::Said(msg::kPrototypeText, msg::kPrototypeCaption));
    EXPECT_EQ(host_.pathSettingsVisits, 1);
    host_ = {};
    host_.pathSettings = [this](ActiveConfig& config) {
        if (host_.pathSettingsVisits == 2) {
            config.prototypePath = dir_ / "other.html";
            WriteBytes(config.prototypePath, kPrototype);
        }
        return true;
    };
    ASSERT_TRUE(Select(0));
    EXPECT_EQ(host_.CountCaption(msg::kPrototypeCaption), 2);
    EXPECT_EQ(Recorded(), dir_ / "other.html");
}

TEST_F(PageSelection, ModeChosenInTheDialogIsUsedAtOnce) {
    RemoveFile(config_.prototypePath);
    host_.pathSettings = [&](ActiveConfig& config) {
        WriteBytes(config.prototypePath, kPrototype);
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
