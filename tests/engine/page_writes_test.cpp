// A generate writes each file once: a new period's page comes from the
// prototype with the entry already in it, and the current copy from the page.
// Whatever goes wrong on the way, the files end as the step-by-step flow
// (copy, then insert) leaves them, with the same messages.
#include "engine/page_writes.h"

#include <gtest/gtest.h>

#include <string>

#include "diary_folder.h"
#include "engine/entry.h"
#include "platform/files.h"

namespace qm::test {
namespace {

const std::string kNul(1, '\0');
// A prototype whose file goes on after its text: a copy keeps that, an
// insertion drops it.
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>" + kNul + "old";

class OnePass : public DiaryFolder {
  protected:
    OnePass() { WriteBytes(Web("original.html"), kPrototype); }
    static std::string Entry(std::string_view title = "t") {
        return kMarker + Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n") + "<h3>" +
               std::string(title) + "</h3>b";
    }
    static std::string NewPage() { return "<html>\r\n" + Entry() + "\r\n</html>" + kNul; }
    std::string Announced() const {
        return Web("diary03-Feb.html") + Said(msg::kNewMonthText, msg::kNewPageCaption);
    }
    int LogLinks() const {
        const std::string log = Page("log.html");
        int links = 0;
        for (auto at = log.find("<a href"); at != std::string::npos;
             at = log.find("<a href", at + 1))
            ++links;
        return links;
    }
};

TEST_F(OnePass, ANewPageIsThePrototypeWithTheEntryAndSoIsItsCurrentCopy) {
    SetKey("ALWAYS1", "1");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(), NewPage());
    EXPECT_EQ(Page("diary-current.html"), NewPage());
    EXPECT_EQ(ReadBytes(dir_ / "temp.tmp"), Entry() + kNul);
    EXPECT_EQ(host_.messages, std::vector<std::string>{Announced()});
    EXPECT_EQ(LogLinks(), 1);
    EXPECT_FALSE(run_.pendingNewPage);

    // The next entry goes into the page that now exists, above the first.
    ASSERT_EQ(Generate("u"), GenerateResult::Written);
    EXPECT_EQ(Page(),
              "<html>\r\n" + Entry("u") + Entry().substr(kMarker.size()) + "\r\n</html>" + kNul);
    EXPECT_EQ(LogLinks(), 1);

    // A prototype without marker gives the newest-entry copy as a plain copy.
    host_.messages.clear();
    WriteBytes(Web("original.html"), "<html>no marker</html>");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), "<html>no marker</html>");
    EXPECT_EQ(host_.messages,
              std::vector<std::string>{Said(msg::kNoMarkerText, msg::kNoMarkerCaption)});
}

TEST_F(OnePass, AFailedCompositionStillLeavesTheNewPageAsACopyOfThePrototype) {
    WriteBytes(dir_ / "templet.txt", "");
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page(), kPrototype);
    EXPECT_EQ(LogLinks(), 1);
    EXPECT_EQ(host_.messages,
              (std::vector<std::string>{Announced(),
                                        Said(msg::kReadFailedText, msg::kReadFailedCaption)}));
    EXPECT_FALSE(run_.pendingNewPage);
}

TEST_F(OnePass, APrototypeWithoutMarkerBecomesThePageAndTheMarkerMessageStopsTheFlow) {
    WriteBytes(Web("original.html"), "<html>" + kNul + kMarker);
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page(), "<html>" + kNul + kMarker);
    EXPECT_EQ(host_.messages, (std::vector<std::string>{
                                  Announced(), Said(msg::kNoMarkerText, msg::kNoMarkerCaption)}));
}

TEST_F(OnePass, APageMadeMeanwhileByOthersIsNotOverwrittenButTakesTheEntry) {
    // Selected and announced, then written by someone else before the insertion.
    run_.deferNewPage = true;
    ASSERT_TRUE(LoadPaths(config_, run_, host_));
    run_.deferNewPage = false;
    ASSERT_TRUE(run_.pendingNewPage);
    WriteBytes(Web("diary03-Feb.html"), "<p>theirs</p>" + kMarker);
    EXPECT_EQ(InsertIntoDiaryPage(config_, run_, Entry(), host_), PageWrite::Inserted);
    EXPECT_EQ(Page(), "<p>theirs</p>" + Entry() + kNul);
}

TEST_F(OnePass, ASecondSelectionAfterThePathSettingsMakesThePageOnceAndLinksItOnce) {
    SetKey("TEMPLET", "");
    host_.pathSettings = [this](ActiveConfig& config) {
        EXPECT_EQ(Page(), kPrototype);  // as the step-by-step flow had made it
        config.templatePath = dir_ / "templet.txt";
    };
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(), NewPage());
    EXPECT_EQ(host_.messages, std::vector<std::string>{Announced()});
    EXPECT_EQ(LogLinks(), 1);
}

}  // namespace
}  // namespace qm::test
