// A generate writes each file once: a new period's page comes from the
// prototype with the entry already in it, and the current copy from the page.
// Whatever goes wrong on the way, the files end as the step-by-step flow
// (copy, then insert) leaves them, with the same messages.
#include "engine/page_writes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/entry.h"
#include "engine/generate.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kNul(1, '\0');
// A prototype whose file goes on after its text: a copy keeps that, an
// insertion drops it.
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>" + kNul + "old";
const std::string kEntryHeader = Sjis("\r\n<!-- 02/05/03 21:05:09 くいるめいかー -->\r\n");

// One monthly set "diary" with a log page; the February page does not exist yet.
class OnePass : public ::testing::Test {
  protected:
    OnePass() : clock_("2003-02-05 21:05:09") {
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", dir_ / "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("LOG", dir_ / "log.html");
        SetKey("EDIT", "1");
        WriteBytes(dir_ / "original.html", kPrototype);
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>");
        WriteBytes(dir_ / "log.html", kLogMarker);
        InitConfig(config_, dir_.dir());
        input_.title = "t";
    }
    void SetKey(std::string_view key, std::string_view value) {
        ASSERT_TRUE(WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value));
    }
    GenerateResult Generate() { return GenerateCommand(config_, run_, input_, host_); }
    std::string Page(std::string_view name = "diary03-Feb.html") const {
        return ReadBytes(dir_ / name);
    }
    std::string Entry(std::string_view title = "t") const {
        return kMarker + kEntryHeader + "<h3>" + std::string(title) + "</h3>";
    }
    std::string Announced() const {
        return dir_ / "diary03-Feb.html" +
               Said(std::string(msg::kNewMonthText), msg::kNewPageCaption);
    }
    int LogLinks() const {
        const std::string log = ReadBytes(dir_ / "log.html");
        int links = 0;
        for (auto at = log.find("<a href"); at != std::string::npos;
             at = log.find("<a href", at + 1))
            ++links;
        return links;
    }

    TempDir dir_;
    FixedClock clock_;
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

TEST_F(OnePass, ANewPageIsThePrototypeWithTheEntryAndTheEntryFileStillHoldsIt) {
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(), "<html>\r\n" + Entry() + "\r\n</html>" + kNul);
    EXPECT_EQ(ReadBytes(dir_ / "temp.tmp"), Entry() + kNul);
    EXPECT_EQ(host_.messages, std::vector<std::string>{Announced()});
    EXPECT_EQ(LogLinks(), 1);
    EXPECT_FALSE(run_.pendingNewPage);

    // The next entry goes into the page that now exists, above the first.
    input_.title = "u";
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(),
              "<html>\r\n" + Entry("u") + Entry().substr(kMarker.size()) + "\r\n</html>" + kNul);
    EXPECT_EQ(LogLinks(), 1);
}

TEST_F(OnePass, TheCurrentCopyOfANewPageIsThePageInBothModes) {
    SetKey("CURRENT", "1");
    for (const char* always1 : {"1", "0"}) {
        SetKey("ALWAYS1", always1);
        RemoveFile(dir_ / "diary03-Feb.html");
        ASSERT_EQ(Generate(), GenerateResult::Written) << always1;
        EXPECT_EQ(Page("diary-current.html"), Page()) << always1;
        EXPECT_EQ(Page(), "<html>\r\n" + Entry() + "\r\n</html>" + kNul) << always1;
    }
}

TEST_F(OnePass, NewestEntryCopyIsThePrototypeWithTheEntryOrAPlainCopyWithTheMarkerMessage) {
    SetKey("CURRENT", "1");
    SetKey("ALWAYS1", "1");
    WriteBytes(dir_ / "diary03-Feb.html", "<body>" + kMarker + "<p>older</p>");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page("diary-current.html"), "<html>\r\n" + Entry() + "\r\n</html>" + kNul);
    EXPECT_TRUE(host_.messages.empty());

    WriteBytes(dir_ / "original.html", "<html>no marker</html>");
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
    WriteBytes(dir_ / "original.html", "<html>" + kNul + kMarker);
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page(), "<html>" + kNul + kMarker);
    EXPECT_EQ(host_.messages, (std::vector<std::string>{
                                  Announced(), Said(msg::kNoMarkerText, msg::kNoMarkerCaption)}));
}

TEST_F(OnePass, AMissingPrototypeMakesNoPageNoLinkAndNoEntry) {
    RemoveFile(dir_ / "original.html");
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_FALSE(FileExists(dir_ / "diary03-Feb.html"));
    EXPECT_EQ(LogLinks(), 0);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find(Cp932ToUtf8(Sjis(msg::kRollOverFailedText)).value()),
              std::string::npos);
}

TEST_F(OnePass, APageMadeMeanwhileByOthersIsNotOverwrittenButTakesTheEntry) {
    // Selected and announced, then written by someone else before the insertion.
    run_.deferNewPage = true;
    ASSERT_TRUE(LoadPaths(config_, run_, host_));
    run_.deferNewPage = false;
    ASSERT_TRUE(run_.pendingNewPage);
    WriteBytes(dir_ / "diary03-Feb.html", "<p>theirs</p>" + kMarker);
    EXPECT_EQ(InsertIntoDiaryPage(config_, run_, Entry(), host_), PageWrite::Inserted);
    EXPECT_EQ(Page(), "<p>theirs</p>" + Entry() + kNul);
}

TEST_F(OnePass, ASecondSelectionAfterThePathSettingsMakesThePageOnceAndLinksItOnce) {
    SetKey("TEMPLET", "");
    host_.pathSettings = [this](ActiveConfig& config) {
        // The dialog sees the new page as the step-by-step flow had made it.
        EXPECT_EQ(Page(), kPrototype);
        config.templatePath = dir_ / "templet.txt";
    };
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(Page(), "<html>\r\n" + Entry() + "\r\n</html>" + kNul);
    EXPECT_EQ(host_.messages, std::vector<std::string>{Announced()});
    EXPECT_EQ(LogLinks(), 1);
}

}  // namespace
}  // namespace qm::test
