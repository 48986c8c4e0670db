#include <gtest/gtest.h>

#include <string>

#include "engine/entry.h"
#include "engine/messages.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::FakeHost;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kNul(1, '\0');

TEST(MarkerInsertion, ReplacesOnlyTheFirstMarker) {
    Insertion r = InsertAtMarker("a" + kMarker + "b" + kMarker + "c", kMarker + "E", kMarker);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.page, "a" + kMarker + "Eb" + kMarker + "c");
}

TEST(MarkerInsertion, MarkerAtTheVeryEndPutsTheEntryLast) {
    Insertion r = InsertAtMarker("<html>" + kMarker, kMarker + "E", kMarker);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.page, "<html>" + kMarker + "E");
}

TEST(MarkerInsertion, NoMarkerIsReported) {
    EXPECT_FALSE(InsertAtMarker("<html></html>", "E", kMarker).found);
    EXPECT_FALSE(InsertAtMarker("", "E", kMarker).found);
    // A marker cut short at the end of the page is no marker.
    EXPECT_FALSE(InsertAtMarker(kMarker.substr(0, kMarker.size() - 1), "E", kMarker).found);
}

class InsertFiles : public ::testing::Test {
  protected:
    InsertFiles() {
        config_.programDir = dir_.dir();
        page_ = dir_ / "page.html";
    }
    void SetEntry(const std::string& body) {
        WriteBytes(dir_ / "temp.tmp", kMarker + "\r\n" + body + kNul);
    }
    bool Insert() { return InsertEntry(config_, page_, host_); }
    std::string Page() const { return ReadBytes(page_); }
    void ExpectOnlyMessage(std::string_view text, std::string_view caption) const {
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_EQ(host_.messages[0].text, Sjis(text));
        EXPECT_EQ(host_.messages[0].caption, Sjis(caption));
    }

    TempDir dir_;
    ActiveConfig config_;
    std::string page_;
    FakeHost host_;
};

TEST_F(InsertFiles, NewerEntriesStandAboveOlderOnesBelowTheMarker) {
    WriteBytes(page_, "<body>\r\n" + kMarker + "\r\n</body>");
    SetEntry("first");
    ASSERT_TRUE(Insert());
    SetEntry("second");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Page(), "<body>\r\n" + kMarker + "\r\nsecond\r\nfirst\r\n</body>" + kNul);
}

TEST_F(InsertFiles, PageEndingInNulIsReadUpToItAndGetsExactlyOneNul) {
    WriteBytes(page_, "head" + kMarker + "tail" + kNul + "garbage" + kNul + kNul);
    SetEntry("E");
    ASSERT_TRUE(Insert());
    EXPECT_EQ(Page(), "head" + kMarker + "\r\nEtail" + kNul);
}

TEST_F(InsertFiles, MarkerAfterTheFirstNulDoesNotCount) {
    const std::string before = "head" + kNul + kMarker;
    WriteBytes(page_, before);
    SetEntry("E");
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kNoMarkerText, msg::kNoMarkerCaption);
    EXPECT_EQ(Page(), before);
}

TEST_F(InsertFiles, MissingPageIsLeftEmptyWithTheMarkerMessage) {
    SetEntry("E");
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kNoMarkerText, msg::kNoMarkerCaption);
    EXPECT_TRUE(FileExists(page_));
    EXPECT_EQ(Page(), "");
}

TEST_F(InsertFiles, ReadOnlyPageIsMadeWritableAndTakesTheEntry) {
    WriteBytes(page_, kMarker);
    ::chmod(page_.c_str(), 0444);
    SetEntry("E");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(test::OwnerCanWrite(page_));
    EXPECT_EQ(Page(), kMarker + "\r\nE" + kNul);
}

TEST_F(InsertFiles, PageHeldByAnotherHolderIsLeftAlone) {
    WriteBytes(page_, kMarker);
    auto holder = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    SetEntry("E");
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kPageOpenText, msg::kPageOpenCaption);
    EXPECT_EQ(Page(), kMarker);
}

TEST_F(InsertFiles, PageThatIsNoFileCannotBeOpened) {
    std::filesystem::create_directory(page_);
    SetEntry("E");
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kPageOpenText, msg::kPageOpenCaption);
}

TEST_F(InsertFiles, MissingOrEmptyEntryFileLeavesThePageAndTheMarker) {
    WriteBytes(page_, "a" + kMarker + "b");
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kReadFailedText, msg::kReadFailedCaption);
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));  // never made up

    host_.messages.clear();
    WriteBytes(dir_ / "temp.tmp", kNul);
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kReadFailedText, msg::kReadFailedCaption);
    EXPECT_EQ(Page(), "a" + kMarker + "b");
}

TEST_F(InsertFiles, EntryFileHeldByAnotherHolderIsAFailure) {
    WriteBytes(page_, kMarker);
    SetEntry("E");
    auto holder = LockedFile::Open(dir_ / "temp.tmp", LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kReadFailedText, msg::kReadFailedCaption);
    EXPECT_EQ(Page(), kMarker);
}

TEST_F(InsertFiles, FailedWriteLeavesThePageWhole) {
    const std::string before = std::string(8192, 'p') + kMarker + "tail";
    WriteBytes(page_, before);
    SetEntry("E");
    {
        test::FileSizeLimit limit(4096);
        EXPECT_FALSE(Insert());
    }
    ExpectOnlyMessage(msg::kPageWriteText, msg::kPageWriteCaption);
    EXPECT_EQ(Page(), before);
}

TEST_F(InsertFiles, PageInAnUnwritableFolderIsLeftWhole) {
    const std::string folder = dir_ / "locked";
    std::filesystem::create_directory(folder);
    page_ = folder + "/page.html";
    WriteBytes(page_, kMarker);
    SetEntry("E");
    test::UnwritableFolder unwritable(folder);
    if (!unwritable.works()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_FALSE(Insert());
    ExpectOnlyMessage(msg::kPageWriteText, msg::kPageWriteCaption);
    EXPECT_EQ(Page(), kMarker);
}

TEST_F(InsertFiles, LargePageKeepsEveryByte) {
    std::string head(10 * 1024 * 1024, 'h');
    std::string tail(10 * 1024 * 1024, 't');
    WriteBytes(page_, head + kMarker + tail);
    SetEntry("E");
    ASSERT_TRUE(Insert());
    const std::string after = Page();
    ASSERT_EQ(after.size(), head.size() + kMarker.size() + 3 + tail.size() + 1);
    EXPECT_EQ(after.compare(0, head.size(), head), 0);
    EXPECT_EQ(after.compare(head.size(), kMarker.size() + 3, kMarker + "\r\nE"), 0);
    EXPECT_EQ(after.back(), '\0');
}

}  // namespace
}  // namespace qm
