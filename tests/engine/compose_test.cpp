#include <gtest/gtest.h>

#include <string>

#include "engine/entry.h"
#include "engine/messages.h"
#include "fake_host.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::FakeHost;
using test::ReadBytes;
using test::TempDir;
using test::Tm;
using test::WriteBytes;

std::string Header(std::string_view clock) {
    return Sjis("<!-- ここに挿入 -->\r\n<!-- ") + std::string(clock) +
           Sjis(" くいるめいかー -->\r\n");
}

TEST(BodyConversion, LineBreaksBecomeHtmlBreaksAndStrayEndsStay) {
    EXPECT_EQ(ConvertBody("a\r\nb"), "a<BR>\r\nb");
    EXPECT_EQ(ConvertBody("a\r\n"), "a<BR>\r\n");
    EXPECT_EQ(ConvertBody("a\nb\rc"), "a\nb\rc");
    EXPECT_EQ(ConvertBody("\r\r\n\n"), "\r<BR>\r\n\n");
    const std::string kanji = Sjis("十本\r\n表");  // double-byte text passes through
    EXPECT_EQ(ConvertBody(kanji), Sjis("十本<BR>\r\n表"));
}

TEST(ImageTagRule, NeedsAnImageChosenThisRunAndANameInTheBox) {
    EntryInput input;
    input.imageName = "cat.jpg";
    input.altText = "neko";
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "<img src=\"cat.jpg\" alt=\"neko\" >");
    EXPECT_EQ(ImageTag(input, ""), "");
    input.altText.clear();
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "<img src=\"cat.jpg\" alt=\"\" >");
    input.imageName.clear();
    EXPECT_EQ(ImageTag(input, "/home/u/cat.jpg"), "");
}

TEST(EntryText, HeaderThenTemplateWithEveryTokenOnOneReading) {
    EntryInput input;
    input.title = Sjis("今日の題");
    input.body = "one\r\ntwo";
    const std::tm time = Tm("2003-01-15 21:05:09");
    const std::string text = ComposeEntryText(
        Sjis("<h2>*!</h2>*Y/*m/*d(*o) *g *n日 *H:*M:*S\r\n*?\r\n*?\r\n*$|"), input, "", time);
    EXPECT_EQ(text, Header("01/15/03 21:05:09") +
                        Sjis("<h2>今日の題</h2>2003/01/15(水) 睦月 十五日 21:05:09\r\n"
                             "one<BR>\r\ntwo\r\none<BR>\r\ntwo\r\n|"));
}

TEST(EntryText, EmptyTitleAndBodyStillGiveHeaderAndTemplate) {
    const std::string text =
        ComposeEntryText("[*!][*?][*$]", EntryInput{}, "", Tm("2003-01-15 21:05:09"));
    EXPECT_EQ(text, Header("01/15/03 21:05:09") + "[][][]");
}

TEST(EntryText, TemplateEndsAtItsFirstNul) {
    const std::string templ("kept*!\0dropped *!", 17);
    EntryInput input;
    input.title = "T";
    EXPECT_EQ(ComposeEntryText(templ, input, "", Tm("2003-01-15 21:05:09")),
              Header("01/15/03 21:05:09") + "keptT");
}

TEST(EntryText, LongTitleAndBodyAreNeverCut) {
    EntryInput input;
    input.title = std::string(5000, 't');
    std::string body;
    for (int i = 0; i < 4000; ++i) body += "line\r\n";
    input.body = body;
    const std::string text = ComposeEntryText("*!|*?|*!", input, "", Tm("2003-01-15 21:05:09"));
    const std::string converted = ConvertBody(body);
    EXPECT_EQ(converted.size(), body.size() + 4000 * 4);
    EXPECT_EQ(text,
              Header("01/15/03 21:05:09") + input.title + "|" + converted + "|" + input.title);
}

TEST(EntryText, RandomDigitsFollowTheSecondsOfTheReading) {
    const std::string templ = "*r*r*r*R*R*R";
    const std::string a = ComposeEntryText(templ, EntryInput{}, "", Tm("2003-01-15 21:05:09"));
    const std::string b = ComposeEntryText(templ, EntryInput{}, "", Tm("2004-07-01 03:44:09"));
    const std::string c = ComposeEntryText(templ, EntryInput{}, "", Tm("2003-01-15 21:05:10"));
    const auto digits = [](const std::string& entry) { return entry.substr(entry.size() - 6); };
    EXPECT_EQ(digits(a), digits(b));
    EXPECT_NE(digits(a), digits(c));
    for (char d : digits(a).substr(0, 3)) EXPECT_TRUE(d >= '0' && d <= '9') << d;
    for (char d : digits(a).substr(3))
        EXPECT_NE(std::string("0123456789abcdef").find(d), std::string::npos) << d;
}

class ComposeFiles : public ::testing::Test {
  protected:
    ComposeFiles() : clock_("2003-01-15 21:05:09") {
        config_.programDir = dir_.dir();
        config_.templatePath = dir_ / "templet.txt";
    }
    bool Compose() { return ComposeEntry(config_, input_, imageList_, host_); }
    std::string EntryFile() const { return ReadBytes(dir_ / "temp.tmp"); }

    TempDir dir_;
    test::FixedClock clock_;
    ActiveConfig config_;
    EntryInput input_;
    std::string imageList_;
    FakeHost host_;
};

TEST_F(ComposeFiles, WritesTheEntryFileEndingInOneNul) {
    WriteBytes(config_.templatePath, "<p>*!</p>*$");
    WriteBytes(dir_ / "temp.tmp", std::string(5000, 'x'));  // an older, longer entry
    input_.title = "hello";
    input_.imageName = "cat.jpg";
    input_.altText = "neko";
    imageList_ = "/pics/cat.jpg";
    ASSERT_TRUE(Compose());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(EntryFile(), Header("01/15/03 21:05:09") +
                               "<p>hello</p><img src=\"cat.jpg\" alt=\"neko\" >" +
                               std::string(1, '\0'));
}

TEST_F(ComposeFiles, MissingTemplateIsCreatedEmptyAndReadingFails) {
    EXPECT_FALSE(Compose());
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Sjis(msg::kReadFailedText));
    EXPECT_EQ(host_.messages[0].caption, Sjis(msg::kReadFailedCaption));
    EXPECT_TRUE(FileExists(config_.templatePath));
    EXPECT_EQ(ReadBytes(config_.templatePath), "");
    EXPECT_FALSE(FileExists(dir_ / "temp.tmp"));
}

TEST_F(ComposeFiles, TemplateHeldByAnotherHolderCannotBeOpened) {
    WriteBytes(config_.templatePath, "*!");
    auto holder = LockedFile::Open(config_.templatePath, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(Compose());
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].caption, Sjis(msg::kTemplateOpenCaption));
}

TEST_F(ComposeFiles, EntryFileThatCannotBeWrittenIsAFailure) {
    WriteBytes(config_.templatePath, "*!");
    std::filesystem::create_directory(dir_ / "temp.tmp");  // not a file
    EXPECT_FALSE(Compose());
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Sjis(msg::kWriteFailedText));
    EXPECT_EQ(host_.messages[0].caption, Sjis(msg::kWriteFailedCaption));
}

TEST_F(ComposeFiles, EntryFileHeldByAnotherHolderIsAFailureAndKeepsItsContent) {
    WriteBytes(config_.templatePath, "*!");
    WriteBytes(dir_ / "temp.tmp", "old");
    auto holder = LockedFile::Open(dir_ / "temp.tmp", LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(Compose());
    EXPECT_EQ(host_.CountCaption(msg::kWriteFailedCaption), 1);
    EXPECT_EQ(EntryFile(), "old");
}

TEST_F(ComposeFiles, FullDiskLeavesTheOldEntryFileWhole) {
    WriteBytes(config_.templatePath, std::string(4096, 'x'));
    WriteBytes(dir_ / "temp.tmp", "old");
    {
        test::FileSizeLimit limit(1024);
        EXPECT_FALSE(Compose());
    }
    EXPECT_EQ(host_.CountCaption(msg::kWriteFailedCaption), 1);
    EXPECT_EQ(EntryFile(), "old");
}

}  // namespace
}  // namespace qm
