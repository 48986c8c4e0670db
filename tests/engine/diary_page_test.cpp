#include "engine/diary_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "diary_folder.h"
#include "platform/files.h"

namespace qm::test {
namespace {

TEST(PageNames, FollowTheModeAndTheDate) {
    ActiveConfig config;
    config.diaryFolder = "/web/";
    const std::tuple<int, const char*, const char*> rows[] = {
        {1, "2003-01-15 00:00:00", "diary03-Jan.html"},
        {3, "2003-01-14 23:59:59", "diary03-Jan-first.html"},
        {3, "2003-01-15 00:00:00", "diary03-Jan-second.html"},
        {2, "2003-01-31 12:00:00", "diary03-Jan-04.html"},  // one week, two months
        {2, "2003-02-01 12:00:00", "diary03-Feb-04.html"},
        {2, "2003-12-31 12:00:00", "diary03-Dec-52.html"},
        {2, "2004-01-01 12:00:00", "diary04-Jan-00.html"},
    };
    for (const auto& [mode, when, page] : rows)
        EXPECT_EQ(DiaryPageName(SplitMode{mode}, config, Tm(when)), "/web/" + std::string(page))
            << when;
}

class PageSelection : public DiaryFolder {
  protected:
    PageSelection() {
        config_.diaryFolder = web_;
        config_.prototypePath = Web("original.html");
        config_.configIniPath = dir_ / "set.ini";
        config_.logPath = Web("log.html");
    }
    bool Select(int mode, const char* when) {
        clock_.Set(when);
        config_.splitMode = SplitMode{mode};
        return SelectDiaryPage(config_, run_, host_) == qm::PageSelection::Ready;
    }
};

TEST_F(PageSelection, RolloverMakesEachPageOnceAndLinksItNewestFirst) {
    ASSERT_TRUE(Select(1, "2003-01-31 23:00:00"));
    WriteBytes(config_.diaryPage, "edited");
    ASSERT_TRUE(Select(1, "2003-01-31 23:30:00"));
    EXPECT_EQ(ReadBytes(config_.diaryPage), "edited");
    ASSERT_TRUE(Select(1, "2003-02-01 08:00:00"));
    EXPECT_EQ(ReadBytes(config_.diaryPage), kFolderPrototype);
    const std::string announced = Said(std::string(msg::kNewMonthText), msg::kNewPageCaption);
    EXPECT_EQ(host_.messages, (std::vector<std::string>{Web("diary03-Jan.html") + announced,
                                                        Web("diary03-Feb.html") + announced}));
    EXPECT_EQ(ReadBytes(config_.logPath),
              kLogMarker +
                  Sjis("\r\n<a href =diary03-Feb.html>02月01日以降の日記</a><BR>"
                       "\r\n<a href =diary03-Jan.html>01月31日以降の日記</a><BR>") +
                  std::string(1, '\0'));
}

// The page is recorded for other tools only: a set file that cannot take the
// record is named, and the selection goes on.
TEST_F(PageSelection, ARecordThatCannotBeWrittenIsNamedAndTheSelectionGoesOn) {
    std::filesystem::create_directory(config_.configIniPath);  // no file can go there
    ASSERT_TRUE(Select(1, "2003-01-31 23:00:00"));
    EXPECT_EQ(ReadBytes(config_.diaryPage), kFolderPrototype);
    ASSERT_EQ(host_.messages.size(), 2u);  // the page is recorded once it is there
    EXPECT_EQ(host_.messages[1], config_.configIniPath + Said(msg::kSettingsNotWrittenText,
                                                              msg::kSettingsNotWrittenCaption));
}

TEST_F(PageSelection, ModeZeroWithoutPrototypeAsksForTheSettings) {
    RemoveFile(config_.prototypePath);
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
