// Composing the entry from the template and inserting it below the marker.
#include "engine/entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_host.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::Said;
using test::Tm;
using test::WriteBytes;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kNul(1, '\0');
const std::string kHeader = kMarker + Sjis("\r\n<!-- 01/15/03 21:05:09 くいるめいかー -->\r\n");

TEST(ComposeText, BodyLineBreaksImageTagAndTemplate) {
    EXPECT_EQ(ConvertBody("a\r\nb\r\n"), "a<BR>\r\nb<BR>\r\n");
    EXPECT_EQ(ConvertBody("a\nb\rc\r\r\n\n"), "a\nb\rc\r<BR>\r\n\n");  // stray ends stay
    EXPECT_EQ(ConvertBody(Sjis("十本\r\n表")), Sjis("十本<BR>\r\n表"));
    std::string longBody;
    for (int i = 0; i < 4000; ++i) longBody += "line\r\n";
    EXPECT_EQ(ConvertBody(longBody).size(), longBody.size() + 4000 * 4);  // never cut
    EntryInput input{Sjis("今日の題"), "one\r\ntwo", "cat.jpg", "neko"};
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "<img src=\"cat.jpg\" alt=\"neko\" >");
    EXPECT_EQ(ImageTag(input, ""), "");  // no image chosen this run
    EXPECT_EQ(ImageTag(EntryInput{}, "/home/u/cat.jpg"), "");
    const std::tm when = Tm("2003-01-15 21:05:09");
    EXPECT_EQ(ComposeEntryText(Sjis("<h2>*!</h2>*Y/*m/*d(*o) *g *n日 *H:*M:*S\r\n*?\r\n*?|"), input,
                               "", when),
              kHeader + Sjis("<h2>今日の題</h2>2003/01/15(水) 睦月 十五日 21:05:09\r\n"
                             "one<BR>\r\ntwo\r\none<BR>\r\ntwo|"));
    EXPECT_EQ(ComposeEntryText("[*!][*?][*$]", EntryInput{}, "", when), kHeader + "[][][]");
    EXPECT_EQ(ComposeEntryText(std::string("kept*!\0dropped *!", 17), input, "", when),
              kHeader + "kept" + input.title);  // the template ends at its first NUL
}

TEST(MarkerInsertion, FirstOfTwoMarkersAtTheEndOrNone) {
    Insertion r = InsertAtMarker("a" + kMarker + "b" + kMarker + "c", kMarker + "E", kMarker);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.page, "a" + kMarker + "Eb" + kMarker + "c");
    r = InsertAtMarker("<html>" + kMarker, kMarker + "E", kMarker);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.page, "<html>" + kMarker + "E");
    EXPECT_FALSE(InsertAtMarker("", "E", kMarker).found);
    EXPECT_FALSE(InsertAtMarker(kMarker.substr(0, kMarker.size() - 1), "E", kMarker).found);
}

class EntryFiles : public ::testing::Test {
  protected:
    EntryFiles() : clock_("2003-01-15 21:05:09") {
        config_.programDir = dir_.dir();
        config_.templatePath = dir_ / "templet.txt";
    }
    bool Compose() { return ComposeEntry(config_, input_, "/pics/cat.jpg", host_); }
    void SetEntry(const std::string& body) { WriteBytes(entry_, kMarker + "\r\n" + body + kNul); }
    bool Insert() { return InsertEntry(config_, page_, host_); }
    std::string Page() const { return ReadBytes(page_); }

    test::TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    EntryInput input_{"hello", "", "cat.jpg", "neko"};
    const std::string entry_ = dir_ / "temp.tmp", page_ = dir_ / "page.html";
    test::FakeHost host_;
};

TEST_F(EntryFiles, EntryFileReplacesAnOlderLongerOneAndEndsInOneNul) {
    WriteBytes(config_.templatePath, "<p>*!</p>*$");
    WriteBytes(entry_, std::string(5000, 'x'));
    ASSERT_TRUE(Compose());
    EXPECT_EQ(ReadBytes(entry_),
              kHeader + "<p>hello</p><img src=\"cat.jpg\" alt=\"neko\" >" + kNul);
}

TEST_F(EntryFiles, ComposeFailuresKeepTheOldEntryFile) {
    EXPECT_FALSE(Compose());  // a missing template is made, empty
    EXPECT_EQ(host_.Only(), Said(msg::kReadFailedText, msg::kReadFailedCaption));
    EXPECT_EQ(ReadBytes(config_.templatePath), "");
    EXPECT_FALSE(FileExists(entry_));
    WriteBytes(config_.templatePath, std::string(4096, 'x'));
    WriteBytes(entry_, "old");
    for (int round = 0; round < 3; ++round) {
        host_.messages.clear();
        std::optional<LockedFile> holder;
        std::optional<test::FileSizeLimit> limit;
        if (round == 0)
            holder = LockedFile::Open(config_.templatePath, LockedFile::Mode::OpenExisting);
        if (round == 1) holder = LockedFile::Open(entry_, LockedFile::Mode::OpenExisting);
        if (round == 2) limit.emplace(1024);
        EXPECT_FALSE(Compose()) << round;
        limit.reset();
        EXPECT_EQ(host_.Only(), round == 0 ? Said(msg::kTemplateOpenText, msg::kTemplateOpenCaption)
                                           : Said(msg::kWriteFailedText, msg::kWriteFailedCaption));
        EXPECT_EQ(ReadBytes(entry_), "old") << round;
    }
}

TEST_F(EntryFiles, NewerEntriesStandAboveOlderOnesAndThePageGetsOneNul) {
    WriteBytes(page_, "<body>\r\n" + kMarker + "\r\n</body>" + kNul + "garbage" + kNul + kNul);
    ::chmod(page_.c_str(), 0444);  // a read-only page is made writable
    SetEntry("first");
    ASSERT_TRUE(Insert());
    SetEntry("second");
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(test::OwnerCanWrite(page_));
    EXPECT_EQ(Page(), "<body>\r\n" + kMarker + "\r\nsecond\r\nfirst\r\n</body>" + kNul);
    const std::string head(10 << 20, 'h'), tail(10 << 20, 't');
    WriteBytes(page_, head + kMarker + tail);
    ASSERT_TRUE(Insert());
    EXPECT_TRUE(Page() == head + kMarker + "\r\nsecond" + tail + kNul) << "a large page lost bytes";
}

TEST_F(EntryFiles, InsertFailuresLeaveThePageWhole) {
    const std::string pageWithNul = "head" + kNul + kMarker;  // the marker after the NUL is void
    WriteBytes(page_, pageWithNul);
    SetEntry("E");
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kNoMarkerText, msg::kNoMarkerCaption));
    EXPECT_EQ(Page(), pageWithNul);

    host_.messages.clear();
    WriteBytes(page_, kMarker);
    WriteBytes(entry_, kNul);
    EXPECT_FALSE(Insert());
    RemoveFile(entry_);
    EXPECT_FALSE(Insert());  // and never made up
    EXPECT_FALSE(FileExists(entry_));
    EXPECT_EQ(host_.CountCaption(msg::kReadFailedCaption), 2);
    EXPECT_EQ(Page(), kMarker);

    host_.messages.clear();
    RemoveFile(page_);
    SetEntry("E");
    EXPECT_FALSE(Insert());  // a missing page is left empty
    EXPECT_EQ(host_.Only(), Said(msg::kNoMarkerText, msg::kNoMarkerCaption));
    EXPECT_EQ(Page(), "");
    std::filesystem::remove(page_);
    std::filesystem::create_directory(page_);
    host_.messages.clear();
    EXPECT_FALSE(Insert());
    EXPECT_EQ(host_.Only(), Said(msg::kPageOpenText, msg::kPageOpenCaption));
}

}  // namespace
}  // namespace qm
