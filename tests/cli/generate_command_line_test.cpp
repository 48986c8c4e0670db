#include "cli/generate_command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "example_folder.h"
#include "platform/encoding.h"

namespace qm::test {
namespace {

using Words = std::vector<std::string>;

std::string Sj(const std::string& utf8) { return Utf8ToCp932(utf8).value(); }

// Texts become Shift_JIS with CRLF line ends. Browsers show 0x5C and 0x7E as
// a backslash and a tilde, so ¥ and ‾ go in as references, and so do tag
// characters instead of vanishing.
TEST(GenerateArguments, TextsBecomeShiftJisWithReferencesForWhatBrowsersMisshow) {
    const std::pair<std::string, std::string> rows[] = {
        {"一行目\n二行目\r\n三行目\r四行目", Sj("一行目\r\n二行目\r\n三行目\r\n四行目")},
        {"¥500‾", "&#xA5;500&#x203E;"},
        {"旗\U000E0067\U000E007F", Sj("旗") + "&#xE0067;&#xE007F;"},
    };
    for (const auto& [typed, stored] : rows) {
        std::string error;
        auto request = ParseGenerateArguments({"--title", typed, "--body", typed}, "/", error);
        ASSERT_TRUE(request) << error;
        EXPECT_EQ(request->input.body, stored);
        if (typed.find('\n') == std::string::npos) {
            EXPECT_EQ(request->input.title, stored);
        }
    }
}

TEST(GenerateArguments, UsageErrors) {
    const std::vector<Words> bad = {
        {"--body", "b"},
        {"--title", "t", "--body", "b", "--body-file", "f"},
        {"--title", "t", "--body", "b", "--alt", "a"},
        {"--title", "t", "--body", "b", "--frobnicate"},
        {"--title"},
        {"--title", "t", "--body-file", "/no/such/file"},
        {"--title", "t", "--body", "b", "--set", "a¥b"},  // ¥ would be a folder separator
    };
    for (const auto& words : bad) {
        std::string error;
        EXPECT_FALSE(ParseGenerateArguments(words, "/", error)) << words.back();
        EXPECT_FALSE(error.empty()) << words.back();
    }
}

using GenerateProgram = ExampleFolder;

TEST_F(GenerateProgram, ADryRunShowsTheEntryThenARunWritesItBelowTheMarker) {
    ASSERT_EQ(Run({"generate", "--dry-run", "--title", "下書き", "--body", "本文"}), 0) << stderr_;
    EXPECT_NE(stdout_.find("diary26-Dec.html"), std::string::npos);
    EXPECT_NE(stdout_.find("下書き"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "diary26-Dec.html")) << "a dry run writes nothing";
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), ReadBytes(std::string(QM_EXAMPLE_DIR) + "/log.html"));

    ASSERT_EQ(Run({"generate", "--title", "初雪", "--body", "外は白い。\n静かな夜。"}), 0)
        << stderr_;
    EXPECT_EQ(stdout_, dir_ / "diary26-Dec.html\n");
    const std::string text = Page();
    EXPECT_NE(text.find(Sj("2026年十二月七日（月曜日） 初雪")), std::string::npos);
    EXPECT_NE(text.find(Sj("外は白い。<BR>\r\n静かな夜。")), std::string::npos);
    EXPECT_LT(text.find(Sj("<!-- ここに挿入 -->")), text.find(Sj("初雪")));
    EXPECT_NE(ReadBytes(dir_ / "log.html").find("<a href =diary26-Dec.html>"), std::string::npos);
}

TEST_F(GenerateProgram, PageWithoutMarkerWritesNothing) {
    WriteBytes(dir_ / "diary26-Dec.html", "<html>no marker</html>");
    EXPECT_EQ(Run({"generate", "--title", "t", "--body", "b"}), 1);
    EXPECT_EQ(Page(), "<html>no marker</html>");
    EXPECT_NE(stderr_.find("埋め込む場所わかんねっす。"), std::string::npos) << stderr_;
}

}  // namespace
}  // namespace qm::test
