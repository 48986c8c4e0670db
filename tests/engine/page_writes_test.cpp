// A generate writes each file once: a new period's page comes from the
// prototype with the entry already in it, and the current copy from the page.
// Whatever goes wrong on the way, the files end as the step-by-step flow
// (copy, then insert) leaves them, with the same messages.
#include "engine/page_writes.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/entry.h"
#include "engine_fixture.h"

namespace qm::test {
namespace {

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
    static std::string NewPage() { return "<html>\r\n" + Entry() + "\r\n</html>"; }
    std::string Announced() const {
        return Web("diary03-Feb.html") + Said(msg::kNewMonthText, msg::kNewPageCaption);
    }
    void ExpectOneLogLink() const {
        const std::string log = Page("log.html");
        EXPECT_EQ(log.find("<a href"), log.rfind("<a href"));
        EXPECT_NE(log.find("<a href =diary03-Feb.html>"), std::string::npos);
    }
};

TEST_F(OnePass, ANewPageIsThePrototypeWithTheEntryAndSoIsItsCurrentCopy) {
    SetKey("ALWAYS1", "1");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(), NewPage());
    EXPECT_EQ(Page("diary-current.html"), NewPage());
    EXPECT_EQ(host_.messages, std::vector<std::string>{Announced()});

    // The next entry goes into the page that now exists, above the first; the
    // newest-entry copy holds it alone.
    ASSERT_EQ(Generate("u"), GenerateResult::Written);
    EXPECT_EQ(Page(), "<html>\r\n" + Entry("u") + Entry().substr(kMarker.size()) + "\r\n</html>");
    EXPECT_EQ(Page("diary-current.html"), "<html>\r\n" + Entry("u") + "\r\n</html>");
    ExpectOneLogLink();
}

// A prototype whose marker lies after its NUL: the new page is still the
// prototype's copy, linked once, and the flow stops.
TEST_F(OnePass, AFailedCompositionStillLeavesTheNewPageAsACopyOfThePrototype) {
    const std::string noMarker = "<html>" + kNul + kMarker;
    WriteBytes(Web("original.html"), noMarker);
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page(), noMarker);
    ExpectOneLogLink();
    EXPECT_EQ(
        host_.messages,
        (std::vector<std::string>{
            Announced(), Said(std::string(msg::kNoMarkerText) + "\r\n" + Web("diary03-Feb.html") +
                                  " に「<!-- ここに挿入 -->」の行がありません。",
                              msg::kNoMarkerCaption)}));
}

TEST_F(OnePass, APageMadeMeanwhileByOthersIsNotOverwrittenButTakesTheEntry) {
    // Selected and announced, then written by someone else before the insertion.
    ASSERT_TRUE(LoadPaths(config_, run_, host_, NewPageWrite::WithEntry));
    ASSERT_TRUE(run_.pendingNewPage);
    WriteBytes(Web("diary03-Feb.html"), "<p>theirs</p>" + kMarker);
    EXPECT_EQ(InsertIntoDiaryPage(config_, run_, Entry(), host_), PageWrite::Inserted);
    EXPECT_EQ(Page(), "<p>theirs</p>" + Entry());
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
    ExpectOneLogLink();
}

}  // namespace
}  // namespace qm::test
