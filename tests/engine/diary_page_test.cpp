#include "engine/diary_page.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine_fixture.h"

namespace qm::test {
namespace {

class PageSelection : public DiaryFolder {
  protected:
    PageSelection() {
        config_.diaryFolder = web_;
        config_.prototypePath = Web("original.html");
        config_.configIniPath = dir_ / "set.ini";
        config_.logPath = Web("log.html");
        NoteNativeSetPaths(config_);
    }
    bool Select(int mode, const char* when) {
        clock_.Set(when);
        config_.splitMode = SplitMode{mode};
        return SelectDiaryPage(config_, run_, host_) == qm::PageSelection::Ready;
    }
};

// Each period's page is named from the date, made once from the prototype,
// announced with its period's sentence and linked from the log newest first.
TEST_F(PageSelection, EachPeriodsPageIsMadeOnceAnnouncedAndLinked) {
    const std::string_view month = msg::kNewMonthText, week = msg::kNewWeekText,
                           half = msg::kNewHalfText;
    const std::tuple<int, const char*, const char*, std::string_view> rows[] = {
        {1, "2003-01-15 00:00:00", "diary03-Jan.html", month},
        {3, "2003-01-14 23:59:59", "diary03-Jan-first.html", half},
        {3, "2003-01-15 00:00:00", "diary03-Jan-second.html", half},
        {2, "2003-01-31 12:00:00", "diary03-Jan-04.html", week},  // one week, two months
        {2, "2003-02-01 12:00:00", "diary03-Feb-04.html", week},
        {2, "2003-12-31 12:00:00", "diary03-Dec-52.html", week},
        {2, "2004-01-01 12:00:00", "diary04-Jan-00.html", week},  // New Year
    };
    for (const auto& [mode, when, page, sentence] : rows) {
        host_.messages.clear();
        ASSERT_TRUE(Select(mode, when)) << when;
        EXPECT_EQ(config_.diaryPage, Web(page));
        EXPECT_EQ(host_.messages,
                  std::vector<std::string>{Web(page) + Said(sentence, msg::kNewPageCaption)});
        EXPECT_EQ(ReadBytes(config_.diaryPage), kFolderPrototype) << when;
    }
    WriteBytes(config_.diaryPage, "edited");
    host_.messages.clear();
    ASSERT_TRUE(Select(2, "2004-01-01 23:00:00"));
    EXPECT_EQ(ReadBytes(config_.diaryPage), "edited");
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(ReadBytes(config_.logPath)
                    .starts_with(kLogMarker +
                                 Sjis("\r\n<a href =diary04-Jan-00.html>01月01日以降の日記</a><BR>"
                                      "\r\n<a href =diary03-Dec-52.html>12月31日以降の日記</a>")));
}

// The page is recorded for other tools only: a set file that cannot take the
// record is named, and the selection goes on.
TEST_F(PageSelection, ARecordThatCannotBeWrittenIsNamedAndTheSelectionGoesOn) {
    fs::create_directory(config_.configIniPath);  // no file can go there
    ASSERT_TRUE(Select(1, "2003-01-31 23:00:00"));
    EXPECT_EQ(ReadBytes(config_.diaryPage), kFolderPrototype);
    ASSERT_EQ(host_.messages.size(), 2u);  // the page is recorded once it is there
    EXPECT_EQ(host_.messages[1], config_.configIniPath + Said(msg::kSettingsNotWrittenText,
                                                              msg::kSettingsNotWrittenCaption));
}

TEST_F(PageSelection, ModeZeroWithoutPrototypeAsksForTheSettings) {
    RemoveFile(N(config_.prototypePath));
    EXPECT_FALSE(Select(0, "2003-02-05 10:00:00"));
    EXPECT_EQ(host_.messages,
              std::vector<std::string>{Said(msg::kPrototypeText, msg::kPrototypeCaption)});
    host_.pathSettings = [this](ActiveConfig& config) {
        config.prototypePath = dir_ / "other.html";
        WriteBytes(config.prototypePath, kFolderPrototype);
    };
    ASSERT_TRUE(Select(0, "2003-02-05 10:00:00"));
    EXPECT_EQ(config_.diaryPage, dir_ / "other.html");
}

}  // namespace
}  // namespace qm::test
