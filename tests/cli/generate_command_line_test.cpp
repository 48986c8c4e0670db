#include "cli/generate_command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/encoding.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Words = std::vector<std::string>;

std::string Sj(const std::string& utf8) { return Utf8ToCp932(utf8).value(); }

TEST(GenerateArguments, TextsBecomeShiftJisAndLineEndsCrLf) {
    std::string error;
    auto request = ParseGenerateArguments(
        {"--title", "今日の日記", "--body", "一行目\n二行目\r\n三行目\r四行目"}, "/start/", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->input.title, Sj("今日の日記"));
    EXPECT_EQ(request->input.body, Sj("一行目\r\n二行目\r\n三行目\r\n四行目"));
}

// Browsers show 0x5C and 0x7E as a backslash and a tilde, so ¥ and ‾ go in
// as references, and so do tag characters instead of vanishing.
TEST(GenerateArguments, TypedCharactersBrowsersWouldMisshowBecomeReferences) {
    std::string error;
    auto request = ParseGenerateArguments(
        {"--title", "¥500‾", "--body", "旗\U000E0067\U000E007F", "--set", "日記"}, "/", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->input.title, "&#xA5;500&#x203E;");
    EXPECT_EQ(request->input.body, Sj("旗") + "&#xE0067;&#xE007F;");
    // A set name is a file name: ¥ would come back as a folder separator.
    EXPECT_FALSE(
        ParseGenerateArguments({"--title", "t", "--body", "b", "--set", "a¥b"}, "/", error));
    EXPECT_NE(error.find("a¥b"), std::string::npos) << error;
}

TEST(GenerateArguments, UsageErrors) {
    const std::vector<Words> bad = {
        {"--body", "b"},
        {"--title", "t", "--body", "b", "--body-file", "f"},
        {"--title", "t", "--body", "b", "--alt", "a"},
        {"--title", "t", "--body", "b", "--frobnicate"},
        {"--title"},
        {"--title", "t", "--body-file", "/no/such/file"},
    };
    for (const auto& words : bad) {
        std::string error;
        EXPECT_FALSE(ParseGenerateArguments(words, "/", error)) << words.back();
        EXPECT_FALSE(error.empty()) << words.back();
    }
}

// The real program on a fresh copy of the example diary.
class GenerateProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto& e : std::filesystem::directory_iterator(QM_EXAMPLE_DIR)) {
            std::filesystem::copy(e.path(), dir_ / e.path().filename().string());
        }
    }

    // Runs a copy in bin/ as an installed system would: its own folder and its
    // helper folder (libexec/quillmaker/) are then the test's to fill.
    void UseInstalledCopy() {
        std::filesystem::create_directory(dir_ / "bin");
        program_ = dir_ / "bin/quillmaker";
        std::filesystem::copy_file(QM_PROGRAM, program_);
    }

    int Run(const std::string& args, std::string* out = nullptr) {
        const std::string command = "'" + program_ + "' --home '" + dir_.dir() +
                                    "' --now '2026-12-07 21:05:09' " + args + " 2>'" +
                                    (dir_ / "stderr.txt") + "'";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        std::string text;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        const int status = ::pclose(pipe);
        if (out) *out = text;
        stderr_ = ReadBytes(dir_ / "stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir_;
    std::string program_ = QM_PROGRAM;
    std::string stderr_;
};

TEST_F(GenerateProgram, WritesTheEntryBelowTheMarkerAndLinksThePage) {
    std::string out;
    ASSERT_EQ(Run("generate --title 初雪 --body '外は白い。\n静かな夜。'", &out), 0) << stderr_;
    const std::string page = dir_ / "diary26-Dec.html";
    EXPECT_EQ(out, page + "\n");
    const std::string text = ReadBytes(page);
    EXPECT_NE(text.find(Sj("2026年十二月七日（月曜日） 初雪")), std::string::npos);
    EXPECT_NE(text.find(Sj("外は白い。<BR>\r\n静かな夜。")), std::string::npos);
    EXPECT_LT(text.find(Sj("<!-- ここに挿入 -->")), text.find(Sj("初雪")));
    EXPECT_NE(ReadBytes(dir_ / "log.html").find("<a href =diary26-Dec.html>"), std::string::npos);
}

TEST_F(GenerateProgram, DryRunShowsTheEntryAndChangesNothing) {
    std::string out;
    ASSERT_EQ(Run("generate --dry-run --title 下書き --body 本文", &out), 0) << stderr_;
    EXPECT_NE(out.find("diary26-Dec.html"), std::string::npos);
    EXPECT_NE(out.find("下書き"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "diary26-Dec.html"));
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), ReadBytes(std::string(QM_EXAMPLE_DIR) + "/log.html"));
}

TEST_F(GenerateProgram, MissingUploadToolStillWritesAndSaysSo) {
    UseInstalledCopy();
    std::string out;
    EXPECT_EQ(Run("generate --upload --title t --body b", &out), 3) << stderr_;
    EXPECT_EQ(out, dir_ / "diary26-Dec.html\n");
    EXPECT_NE(stderr_.find("tavmo/tavmo.exeがみつかりません。"), std::string::npos) << stderr_;
}

// The stored default "tavmo/tavmo.exe" is not in the settings folder; an
// installed system keeps the tool in its helper folder.
TEST_F(GenerateProgram, StoredToolPathFindsTheInstalledUploadTool) {
    UseInstalledCopy();
    std::filesystem::create_directories(dir_ / "libexec/quillmaker/tavmo");
    const std::string tool = dir_ / "libexec/quillmaker/tavmo/tavmo.exe";
    WriteBytes(tool, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.out\"\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    ASSERT_EQ(Run("generate --upload --title t --body b"), 0) << stderr_;
    std::string handed;
    for (int i = 0; i < 200 && handed.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        handed = ReadBytes(tool + ".out");
    }
    EXPECT_EQ(handed.substr(0, handed.find('\n')), dir_ / "diary26-Dec.html");
}

TEST_F(GenerateProgram, PageWithoutMarkerWritesNothing) {
    WriteBytes(dir_ / "diary26-Dec.html", "<html>no marker</html>");
    EXPECT_EQ(Run("generate --title t --body b"), 1);
    EXPECT_EQ(ReadBytes(dir_ / "diary26-Dec.html"), "<html>no marker</html>");
    EXPECT_NE(stderr_.find("埋め込む場所わかんねっす。"), std::string::npos) << stderr_;
}

}  // namespace
}  // namespace qm
