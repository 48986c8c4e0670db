#include "engine/preview.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine_fixture.h"
#include "platform/utf8_path.h"

namespace qm::test {
namespace {

// Pages and log in a folder named with a blank and kanji, so the base
// reference must be encoded.
class Preview : public DiaryFolder {
  protected:
    Preview() : DiaryFolder("ウェブ 日記/") {
        WriteBytes(Web("original.html"),
                   "<html><HEAD lang=\"ja\">\r\n<title>t</title></head><body>\r\n" + kMarker +
                       "\r\n</body></html>");
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*n\r\n*?");
        config_.configIniPath = dir_ / "diary.ini";
        input_.title = Sjis("晴れ");
        input_.body = "a\r\nb";
    }
};

TEST_F(Preview, ANewPeriodIsShownFromThePrototypeAsDoItWouldWriteItWithoutTouchingAFile) {
    const auto before = Snapshot();
    const auto preview = PreviewEntry(config_, run_, input_, host_);
    ASSERT_TRUE(preview.has_value());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(Snapshot(), before);  // no page, no log link, no QUILL, no temp.tmp
    EXPECT_EQ(preview->pagePath, Sjis(web_) + "diary03-Feb.html");

    // The page "Do It !!!" writes at the same moment, with the base reference.
    ASSERT_EQ(GenerateCommand(config_, run_, input_, host_), GenerateResult::Written);
    std::string written = ReadBytes(Web("diary03-Feb.html"));
    const std::size_t head = written.find("<HEAD lang=\"ja\">") + 16;
    const std::string base = FileUrlOfFolder(Utf8OfPath(PathOfUtf8(web_).lexically_normal()));
    EXPECT_EQ(preview->text, written.insert(head, "<base href=\"" + base + "\">"));
    EXPECT_NE(preview->text.find(Sjis("<h3>晴れ</h3>五\r\na<BR>\r\nb")), std::string::npos);
}

TEST_F(Preview, UnusableFilesGetDoItsMessagesAndCreateNothing) {
    // The template is read first.
    for (const std::string& file : {Web("original.html"), dir_ / "templet.txt"}) {
        fs::remove(FsPath(file));
        const auto spoiled = Snapshot();
        host_.messages.clear();
        EXPECT_FALSE(PreviewEntry(config_, run_, input_, host_).has_value()) << file;
        ASSERT_EQ(host_.messages.size(), 1u) << file;
        EXPECT_NE(host_.messages[0].find("\r\n" + file + ": "), std::string::npos)
            << host_.messages[0];
        EXPECT_EQ(Snapshot(), spoiled) << file;
    }
}

TEST(BaseReference, GoesAfterTheHeadTagOrTheHtmlTagOrFirst) {
    const std::string base = "<base href=\"file:///w/\">";
    const std::pair<std::string, std::string> rows[] = {
        {"<html>\r\n<head>\r\n<title>", "<html>\r\n<head>" + base + "\r\n<title>"},
        {"<HTML><Head\r\nid=x><meta>", "<HTML><Head\r\nid=x>" + base + "<meta>"},
        {"<html lang=ja><header>h</header>", "<html lang=ja>" + base + "<header>h</header>"},
        {"<p>only a fragment", base + "<p>only a fragment"},
        {"<headline><head", base + "<headline><head"},
    };
    for (const auto& [page, expected] : rows)
        EXPECT_EQ(WithBaseReference(page, "file:///w/"), expected) << page;
    EXPECT_EQ(FileUrlOfFolder("/a b/日記/\"#%&?/"),
              "file:///a%20b/%E6%97%A5%E8%A8%98/%22%23%25%26%3F/");
}

}  // namespace
}  // namespace qm::test
