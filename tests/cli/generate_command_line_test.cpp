// `quillmaker generate` from the command line: its arguments, a dry run, and
// what it refuses quickly and writing nothing.
#include "example_folder.h"
#include "settings/profile.h"
#include "support/scoped_env.h"

namespace qm::test {
namespace {

using GenerateProgram = ExampleFolder;

// Every line end becomes CRLF (the dry run is the feed test's).
TEST_F(GenerateProgram, ARunWritesTheEntryBelowTheMarker) {
    ASSERT_EQ(Run({"generate", "--title", "初雪", "--body", "外は白い。\n静かな\r\n夜\r。"}), 0)
        << stderr_;
    EXPECT_EQ(stdout_, dir_ / "diary26-Dec.html\n");
    const std::string text = Page();
    EXPECT_NE(text.find(Sjis("2026年十二月七日（月曜日） 初雪")), std::string::npos);
    EXPECT_NE(text.find(Sjis("外は白い。<BR>\r\n静かな<BR>\r\n夜<BR>\r\n。")), std::string::npos);
}

// Usage errors (status 2): wrong arguments, body files that are not text,
// text that is not UTF-8 (a surrogate, an overlong form).
TEST_F(GenerateProgram, UsageErrorsWriteNothingAndWaitForNothing) {
    WriteBytes(outputs_ / "with-nul.txt", std::string("before\0after", 12));
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--body", "b"}, ""},
        {{"--title", "t", "--body", "b", "--body-file", "f"}, ""},
        {{"--title", "t", "--body", "b", "--alt", "a"}, ""},
        {{"--title", "t", "--body", "b", "--frobnicate"}, ""},
        {{"--title"}, "--title needs a value"},
        {{"--title", "t", "--body-file", "/no/such/file"}, "/no/such/file"},
        {{"--title", "t", "--body", "b", "--set", "a¥b"}, ""},  // ¥ would be a folder separator
        {{"--title", "t", "--body-file=" + (outputs_ / "with-nul.txt")}, "holds a NUL byte"},
        {{"--title", "t", "--body-file="}, "--body-file needs a file"},
#ifndef _WIN32  // a Windows command line is UTF-16: it cannot carry these
        {{"--title", "t", "--body", "\xED\xBF\xBF"}, "not valid UTF-8"},
        {{"--title", "\xC0\xAF", "--body", "b"}, "not valid UTF-8"},
#endif
    };
    const Files before = ReadFolder(dir_.dir());
    for (const auto& [words, why] : rows) {
        SCOPED_TRACE(words.back());
        std::vector<std::string> args = {"generate"};
        args.insert(args.end(), words.begin(), words.end());
        EXPECT_EQ(Run(args), 2);
        EXPECT_TRUE(Said(why) && !stderr_.empty()) << stderr_;
    }
    Files after = ReadFolder(dir_.dir());
    after.erase("QMgenerate.lock");
    EXPECT_EQ(after, before);
#ifndef _WIN32  // the window program answers it, not cross-built yet
    EXPECT_EQ(Run({"edit", ""}), 2);
    EXPECT_TRUE(Said("usage: quillmaker edit FILE")) << stderr_;
#endif
}

// The upload tool gets every changed file as one argument each, whatever its name holds.
TEST_F(GenerateProgram, AnImagePathWithQuotesBlanksAndJapaneseStaysOneArgument) {
    const std::string tool = outputs_ / "uploader.sh";
    StandIn(tool);
    ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "FILEPATH", "FTP", tool));
    // Without web copies the original itself is sent, a name never read.
    ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "WEBIMAGE", "COPY", "0"));
    const std::string image = outputs_ / "pic\" \"QMsys.ini\" \"--batch\" \"写真 1.jpg";
    ASSERT_EQ(Run({"generate", "--upload", "--title", "t", "--body", "b", "--image", image}), 0)
        << stderr_;
    // The new page, the log page that now links it, the image, the current copy, the feed.
    std::string expected = (dir_ / "diary26-Dec.html\n") + "log.html\n" + image + "\n" +
                           (dir_ / "diary-current.html\n") + (dir_ / "atom.xml\n");
#ifdef _WIN32
    std::replace(expected.begin(), expected.end(), '/', '\\');  // as Windows programs take them
#endif
    EXPECT_EQ(ArgumentsOf(tool), expected);
}

#ifndef _WIN32  // the upload tool without a display
// Two diaries side by side: each upload goes to the destination its own program folder names.
TEST_F(GenerateProgram, EachProgramFolderUploadsToItsOwnDestination) {
    // The tool sends without a window, and the user's own data folder stays out of it.
    const ScopedEnv qpa("QT_QPA_PLATFORM", nullptr), x("DISPLAY", nullptr),
        wayland("WAYLAND_DISPLAY", nullptr), data("XDG_DATA_HOME", (outputs_ / "data").c_str());
    fs::create_directory(outputs_ / "tools");
    const std::string tool = outputs_ / "tools/tavmo.exe";
    fs::copy_file(QM_TAVMO, tool);
    ProgramFolder second;
    second.CopyExample();
    const std::string homes[] = {dir_.dir(), second.dir()};
    for (const std::string& home : homes) {
        const std::string web = home + "web/";
        fs::create_directories(web);
        fs::create_directory(home + "tavmo");
        WriteBytes(home + "tavmo/tavmo.ini", "[TAVMO]\nURL=file://" + web + "\n");
        ASSERT_TRUE(WriteProfileString(home + "example.ini", "FILEPATH", "FTP", tool));
        home_ = home;
        ASSERT_EQ(Run({"generate", "--upload", "--title", home, "--body", "b"}), 0) << stderr_;
    }
    for (const std::string& home : homes) {
        const std::string sent = home + "web/diary26-Dec.html";
        for (int i = 0; i < 500 && !fs::exists(home + "web/diary-current.html"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(ReadBytes(sent), ReadBytes(home + "diary26-Dec.html")) << home;
    }
}
#endif

// An upload asked for that cannot start is said, and the status is 3: the
// entry is written all the same.
TEST_F(GenerateProgram, AnUploadToolThatCannotStartIsSaidWithStatus3) {
    const std::string notExecutable = outputs_ / "uploader.sh";
    WriteBytes(notExecutable, "#!/bin/sh\n");
    const std::pair<std::string, std::string> rows[] = {
        {"", "tavmoの場所を指定していません。"},
        {notExecutable, notExecutable + "は実行できるファイルではありません。"},
    };
    for (const auto& [tool, said] : rows) {
        ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "FILEPATH", "FTP", tool));
        EXPECT_EQ(Run({"generate", "--upload", "--title", "t", "--body", "b"}), 3) << tool;
        EXPECT_TRUE(Said(said)) << stderr_;
        EXPECT_EQ(stdout_, dir_ / "diary26-Dec.html\n");
    }
}

}  // namespace
}  // namespace qm::test
