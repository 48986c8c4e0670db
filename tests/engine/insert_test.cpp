#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/entry.h"
#include "fake_host.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::Said;
using test::WriteBytes;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kNul(1, '\0');

TEST(MarkerInsertion, FirstOfTwoMarkersAtTheEndOrNone) {
    Insertion r = InsertAtMarker("a" + kMarker + "b" + kMarker + "c", kMarker + "E", kMarker);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.page, "a" + kMarker + "Eb" + kMarker + "c");
    r = InsertAtMarker("<html>" + kMarker, kMarker + "E", kMarker);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.page, "<html>" + kMarker + "E");
    EXPECT_FALSE(InsertAtMarker("<html></html>", "E", kMarker).found);
    EXPECT_FALSE(InsertAtMarker("", "E", kMarker).found);
    EXPECT_FALSE(InsertAtMarker(kMarker.substr(0, kMarker.size() - 1), "E", kMarker).found);
}

class InsertFiles : public ::testing::Test {
  public:
    InsertFiles() { config_.programDir = dir_.dir(); }
    void SetEntry(const std::string& body) {
        WriteBytes(dir_ / "temp.tmp", kMarker + "\r\n" + body + kNul);
    }
    bool Insert() { return InsertEntry(config_, page_, host_); }
    std::string Page() const { return ReadBytes(page_); }

    test::TempDir dir_;
    ActiveConfig config_;
    std::string page_ = dir_ / "page.html";
    test::FakeHost host_;
};

TEST_F(InsertFiles, NewerEntriesStandAboveOlderOnesAndThePageGetsOneNul) {
    WriteBytes(page_, "<body>\r\n" + kMarker + "\r\n</body>" + kNul + "garbage" + kNul + kNul);
    SetEntry("first");
    ASSERT_TRUE(Insert());
    SetEntry("second");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Page(), "<body>\r\n" + kMarker + "\r\nsecond\r\nfirst\r\n</body>" + kNul);
}

TEST_F(InsertFiles, ReadOnlyPageIsMadeWritableAndTakesTheEntry) {
    WriteBytes(page_, kMarker);
    ::chmod(page_.c_str(), 0444);
    SetEntry("E");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(test::OwnerCanWrite(page_));
    EXPECT_EQ(Page(), kMarker + "\r\nE" + kNul);
}

TEST_F(InsertFiles, LargePageKeepsEveryByte) {
    const std::string head(10 << 20, 'h'), tail(10 << 20, 't');
    WriteBytes(page_, head + kMarker + tail);
    SetEntry("E");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(Page() == head + kMarker + "\r\nE" + tail + kNul);
}

// Every failure shows one message and leaves the page exactly as it was.
TEST_F(InsertFiles, FailuresLeaveThePageWhole) {
    const struct {
        const char* name;
        std::string page;
        std::function<std::optional<LockedFile>(InsertFiles&)> arrange;
        std::string_view text, caption;
    } rows[] = {
        {"marker after the first NUL", "head" + kNul + kMarker, nullptr, msg::kNoMarkerText,
         msg::kNoMarkerCaption},
        {"page held elsewhere", kMarker,
         [](InsertFiles& t) { return LockedFile::Open(t.page_, LockedFile::Mode::OpenExisting); },
         msg::kPageOpenText, msg::kPageOpenCaption},
        {"entry file held elsewhere", "a" + kMarker + "b",
         [](InsertFiles& t) {
             return LockedFile::Open(t.dir_ / "temp.tmp", LockedFile::Mode::OpenExisting);
         },
         msg::kReadFailedText, msg::kReadFailedCaption},
        {"empty entry file", "a" + kMarker + "b",
         [](InsertFiles& t) {
             WriteBytes(t.dir_ / "temp.tmp", kNul);
             return std::optional<LockedFile>();
         },
         msg::kReadFailedText, msg::kReadFailedCaption},
    };
    for (const auto& r : rows) {
        WriteBytes(page_, r.page);
        SetEntry("E");
        host_.messages.clear();
        auto holder = r.arrange ? r.arrange(*this) : std::nullopt;
        EXPECT_FALSE(Insert()) << r.name;
        EXPECT_EQ(host_.Only(), Said(r.text, r.caption)) << r.name;
        EXPECT_EQ(Page(), r.page) << r.name;
    }
}

TEST_F(InsertFiles, MissingEntryFileIsNeverMadeUpAndMissingPageIsLeftEmpty) {
    WriteBytes(page_, kMarker);
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kReadFailedText, msg::kReadFailedCaption));
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));
    RemoveFile(page_);
    SetEntry("E");
    host_.messages.clear();
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kNoMarkerText, msg::kNoMarkerCaption));
    EXPECT_EQ(Page(), "");
    std::filesystem::remove(page_);
    std::filesystem::create_directory(page_);
    host_.messages.clear();
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kPageOpenText, msg::kPageOpenCaption));
}

TEST_F(InsertFiles, FullDiskAndUnwritableFolderLeaveThePageWhole) {
    const std::string before = std::string(8192, 'p') + kMarker + "tail";
    WriteBytes(page_, before);
    SetEntry("E");
    {
        test::FileSizeLimit limit(4096);
        EXPECT_FALSE(Insert());
    }
    EXPECT_EQ(host_.Only(), Said(msg::kPageWriteText, msg::kPageWriteCaption));
    EXPECT_EQ(Page(), before);
    test::UnwritableFolder unwritable(dir_.dir());
    if (!unwritable.works()) GTEST_SKIP() << "cannot make a folder unwritable here";
    host_.messages.clear();
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kPageWriteText, msg::kPageWriteCaption));
    EXPECT_EQ(Page(), before);
}

}  // namespace
}  // namespace qm
