// The generate flow when files are missing, locked, folders or cannot be
// written, and after a run that was killed: what is kept, what is said.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine_fixture.h"

namespace qm::test {
namespace {

class FailurePaths : public DiaryFolder {
  protected:
    FailurePaths() { WriteBytes(entryFile_, "old entry"); }

    const std::string original_ = Web("original.html"), page_ = Web("diary03-Feb.html"),
                      log_ = Web("log.html"), template_ = dir_ / "templet.txt",
                      entryFile_ = dir_ / "temp.tmp";
};

// What a row arranges, kept alive while the run goes (a lock).
using Arrange = std::function<std::shared_ptr<void>()>;
struct Row {
    const char* what;
    Arrange arrange;
    std::string file;  // named in the box, "" for none
    std::string caption;
};

std::shared_ptr<void> Hold(const std::string& path) {
    return std::make_shared<LockedFile>(
        std::move(*LockedFile::Open(N(path), LockedFile::Mode::OpenExisting)));
}

TEST_F(FailurePaths, CompositionFailuresKeepTheOldEntryFileAndThePage) {
    WriteBytes(page_, kFolderPrototype);
    const Row rows[] = {
        // A missing template is made, empty.
        {"template missing", [this] { return fs::remove(template_), nullptr; }, "",
         "読み込み失敗！！"},
        {"template locked", [this] { return Hold(template_); }, template_,
         "テンプレート開けないよ？"},
        {"entry file locked", [this] { return Hold(entryFile_); }, entryFile_, "書き込み失敗！！"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteBytes(template_, "<h3>*!</h3>*?");
        {
            auto held = row.arrange();
            EXPECT_EQ(Generate("new"), GenerateResult::Failed);
        }
        EXPECT_TRUE(host_.messages.back().ends_with(row.caption)) << host_.messages.back();
        EXPECT_NE(host_.messages.back().find(row.file), std::string::npos);
        EXPECT_EQ(ReadBytes(entryFile_), "old entry");
        EXPECT_EQ(ReadBytes(page_), kFolderPrototype);
        fs::remove_all(template_);
    }
}

TEST_F(FailurePaths, LogPageFailuresStillMakeThePageAndWriteTheEntry) {
    const Row rows[] = {
        {"missing", [this] { return fs::remove(log_), nullptr; }, log_, "ログファイル開けないよ？"},
        {"no marker", [this] { return WriteBytes(log_, "<html></html>"), nullptr; }, "",
         "ログ埋め込む場所わかんねっす。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteBytes(log_, kLogMarker);
        fs::remove(page_);
        run_ = RunState{};
        std::string logBefore;
        {
            auto held = row.arrange();
            logBefore = Snapshot()[log_];
            ASSERT_EQ(Generate("new"), GenerateResult::Written);
        }
        EXPECT_NE(ReadBytes(page_).find("<h3>new</h3>"), std::string::npos);
        EXPECT_TRUE(Snapshot()[log_] == logBefore) << "the log page is left as it was";
        EXPECT_FALSE(run_.logUpdated);
        EXPECT_TRUE(host_.messages.back().ends_with(row.caption)) << host_.messages.back();
        EXPECT_NE(host_.messages.back().find(row.file), std::string::npos);
        fs::remove_all(log_);
    }
}

// The log page held by another program through a roll-over: the entry
// lands, and the next run adds the missing link once and says so.
TEST_F(FailurePaths, APageLeftUnlinkedIsLinkedByTheNextRun) {
    {
        const auto held = Hold(log_);
        ASSERT_EQ(Generate("first"), GenerateResult::Written);
    }
    EXPECT_TRUE(ShownHas(std::string(msg::kLogLinkLaterText))) << Shown();
    ASSERT_EQ(ReadBytes(log_), kLogMarker);
    for (const bool repairs : {true, false}) {
        host_.messages.clear();
        run_ = RunState{};
        ASSERT_EQ(Generate("next"), GenerateResult::Written);
        EXPECT_EQ(ShownHas(std::string(msg::kLogLinkRepairedCaption)), repairs) << Shown();
        EXPECT_EQ(run_.logUpdated, repairs);
        const std::string log = ReadBytes(log_);
        EXPECT_EQ(log.find("<a href =diary03-Feb.html>"), log.rfind("<a href =diary03-Feb.html>"));
        EXPECT_NE(log.find("<a href =diary03-Feb.html>"), std::string::npos);
    }
}

TEST_F(FailurePaths, ARollOverThatCannotCopyThePrototypeWritesNothing) {
    fs::remove(original_);
    const auto before = Snapshot();
    EXPECT_EQ(Generate("new"), GenerateResult::Failed);
    EXPECT_EQ(Snapshot(), before) << "no page, no link, no entry, no record";
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(host_.messages[0].starts_with(original_ + " -> " + page_) &&
                host_.messages[0].ends_with("|作れないよ？"))
        << host_.messages[0];
}

TEST_F(FailurePaths, ARunKilledAfterTheLinkMakesThePageWithoutASecondLink) {
    const std::string linked = kLogMarker + "\r\n<a href =diary03-Feb.html>x</a><BR>";
    WriteBytes(log_, linked);
    ASSERT_EQ(Generate("new"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(log_), linked);
    EXPECT_TRUE(run_.logUpdated) << "the log page still has to be uploaded";
    EXPECT_NE(ReadBytes(page_).find("<h3>new</h3>"), std::string::npos);
}

TEST_F(FailurePaths, TheNextRunRemovesOnlyItsOwnLeftoverTemporaries) {
    const std::vector<std::string> own = {web_ + ".diary03-Jan-first.html.Ab12Cd",
                                          web_ + ".diary04-Jan-00.html.abcdef",
                                          web_ + ".diary-current.html.zzzzzz",
                                          web_ + ".log.html.a1B2c3",
                                          dir_ / ".temp.tmp.abcdef",
                                          dir_ / ".diary.ini.QWERTY"};
    const std::vector<std::string> others = {
        web_ + ".notes.html.abcdef", web_ + ".diary03-Jxn.html.abcdef",
        web_ + ".diary03-Jan.html.abc", dir_ / ".temp.tmp.ab-cde", dir_ / ".templet.txt.abcdef"};
    for (const auto& path : own) WriteBytes(path, "half");
    for (const auto& path : others) WriteBytes(path, "user's");
    ASSERT_EQ(Generate("new"), GenerateResult::Written);
    for (const auto& path : own) EXPECT_FALSE(fs::exists(path)) << path;
    for (const auto& path : others) EXPECT_EQ(ReadBytes(path), "user's") << path;
}

}  // namespace
}  // namespace qm::test
