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
using test::Tm;
using test::WriteBytes;

const std::tm kWhen = Tm("2003-01-15 21:05:09");
const std::string kHeader =
    Sjis("<!-- ここに挿入 -->\r\n<!-- 01/15/03 21:05:09 くいるめいかー -->\r\n");

TEST(ComposeText, BodyLineBreaksAndImageTag) {
    EXPECT_EQ(ConvertBody("a\r\nb\r\n"), "a<BR>\r\nb<BR>\r\n");
    EXPECT_EQ(ConvertBody("a\nb\rc\r\r\n\n"), "a\nb\rc\r<BR>\r\n\n");  // stray ends stay
    EXPECT_EQ(ConvertBody(Sjis("十本\r\n表")), Sjis("十本<BR>\r\n表"));
    EntryInput input{"", "", "cat.jpg", "neko"};
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "<img src=\"cat.jpg\" alt=\"neko\" >");
    EXPECT_EQ(ImageTag(input, ""), "");  // no image chosen this run
    input.imageName.clear();
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "");
}

TEST(ComposeText, HeaderThenTemplateUpToItsFirstNulAndNothingCut) {
    EntryInput input{Sjis("今日の題"), "one\r\ntwo", "", ""};
    EXPECT_EQ(ComposeEntryText(Sjis("<h2>*!</h2>*Y/*m/*d(*o) *g *n日 *H:*M:*S\r\n*?\r\n*?\r\n*$|"),
                               input, "", kWhen),
              kHeader + Sjis("<h2>今日の題</h2>2003/01/15(水) 睦月 十五日 21:05:09\r\n"
                             "one<BR>\r\ntwo\r\none<BR>\r\ntwo\r\n|"));
    EXPECT_EQ(ComposeEntryText("[*!][*?][*$]", EntryInput{}, "", kWhen), kHeader + "[][][]");
    EXPECT_EQ(ComposeEntryText(std::string("kept*!\0dropped *!", 17), input, "", kWhen),
              kHeader + "kept" + input.title);
    input.title = std::string(5000, 't');
    input.body.clear();
    for (int i = 0; i < 4000; ++i) input.body += "line\r\n";
    EXPECT_EQ(ComposeEntryText("*!|*?", input, "", kWhen),
              kHeader + input.title + "|" + ConvertBody(input.body));
    EXPECT_EQ(ConvertBody(input.body).size(), input.body.size() + 4000 * 4);
}

TEST(ComposeText, RandomDigitsFollowTheSecondsOfTheReading) {
    auto digits = [](const char* when) {
        return ComposeEntryText("*r*r*r*R*R*R", EntryInput{}, "", Tm(when)).substr(kHeader.size());
    };
    EXPECT_EQ(digits("2003-01-15 21:05:09"), digits("2004-07-01 03:44:09"));
    EXPECT_NE(digits("2003-01-15 21:05:09"), digits("2003-01-15 21:05:10"));
}

class ComposeFiles : public ::testing::Test {
  protected:
    ComposeFiles() : clock_("2003-01-15 21:05:09") {
        config_.programDir = dir_.dir();
        config_.templatePath = dir_ / "templet.txt";
    }
    bool Compose() { return ComposeEntry(config_, input_, imageList_, host_); }
    std::string EntryFile() const { return ReadBytes(dir_ / "temp.tmp"); }

    test::TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    EntryInput input_{"hello", "", "cat.jpg", "neko"};
    std::string imageList_ = "/pics/cat.jpg";
    test::FakeHost host_;
};

TEST_F(ComposeFiles, EntryFileReplacesAnOlderLongerOneAndEndsInOneNul) {
    WriteBytes(config_.templatePath, "<p>*!</p>*$");
    WriteBytes(dir_ / "temp.tmp", std::string(5000, 'x'));
    ASSERT_TRUE(Compose());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(EntryFile(), kHeader + "<p>hello</p><img src=\"cat.jpg\" alt=\"neko\" >" + '\0');
}

TEST_F(ComposeFiles, MissingTemplateIsCreatedEmptyAndReadingFails) {
    EXPECT_FALSE(Compose());
    EXPECT_EQ(host_.Only(), Said(msg::kReadFailedText, msg::kReadFailedCaption));
    EXPECT_EQ(ReadBytes(config_.templatePath), "");
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));
}

TEST_F(ComposeFiles, LockedFilesAndAFullDiskFailAndKeepTheOldEntryFile) {
    WriteBytes(config_.templatePath, "*!");
    {
        auto holder = LockedFile::Open(config_.templatePath, LockedFile::Mode::OpenExisting);
        EXPECT_FALSE(Compose());
        EXPECT_EQ(host_.Only(), Said(msg::kTemplateOpenText, msg::kTemplateOpenCaption));
    }
    WriteBytes(dir_ / "temp.tmp", "old");
    {
        auto holder = LockedFile::Open(dir_ / "temp.tmp", LockedFile::Mode::OpenExisting);
        host_.messages.clear();
        EXPECT_FALSE(Compose());
        EXPECT_EQ(host_.Only(), Said(msg::kWriteFailedText, msg::kWriteFailedCaption));
    }
    WriteBytes(config_.templatePath, std::string(4096, 'x'));
    {
        test::FileSizeLimit limit(1024);
        host_.messages.clear();
        EXPECT_FALSE(Compose());
    }
    EXPECT_EQ(host_.Only(), Said(msg::kWriteFailedText, msg::kWriteFailedCaption));
    EXPECT_EQ(EntryFile(), "old");
}

TEST_F(ComposeFiles, EntryFileThatIsAFolderIsAWriteFailure) {
    WriteBytes(config_.templatePath, "*!");
    std::filesystem::create_directory(dir_ / "temp.tmp");
    EXPECT_FALSE(Compose());
    EXPECT_EQ(host_.Only(), Said(msg::kWriteFailedText, msg::kWriteFailedCaption));
}

}  // namespace
}  // namespace qm
