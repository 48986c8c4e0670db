#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

namespace qm {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, QuotesGroupAndBackslashesOnlyEscapeBeforeAQuote) {
    const std::pair<const char*, Words> rows[] = {
        {"\"C:\\web\\a b.html\" \"/x/log.html\"", {"C:\\web\\a b.html", "/x/log.html"}},
        {"\"/p/page.html\" \"/i/a.jpg\" \"/i/b.png\"", {"/p/page.html", "/i/a.jpg", "/i/b.png"}},
        {"  a   b\t c  ", {"a", "b", "c"}},
        {"", {}},
        {"\"\"", {""}},
        {"a\\\\b", {"a\\\\b"}},
        {"a\\\"b", {"a\"b"}},
        {"\"a\\\\\" b", {"a\\", "b"}},
    };
    for (const auto& [line, words] : rows) EXPECT_EQ(SplitCommandLine(line), words) << line;
}

TEST(StartProgram, MissingOrNonExecutableProgramIsNotFound) {
    test::TempDir dir;
    EXPECT_EQ(StartProgram(dir / "tavmo/tavmo.exe", "/set"), StartResult::NotFound);
    test::WriteBytes(dir / "plain.txt", "not a program");
    EXPECT_EQ(StartProgram(dir / "plain.txt", ""), StartResult::NotFound);
    EXPECT_EQ(StartProgram("no-such-program-anywhere-qm", ""), StartResult::NotFound);
}

TEST(StartProgram, StartsDetachedWithSplitArguments) {
    test::TempDir dir;
    const std::string script = dir / "record.sh";
    test::WriteBytes(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.out\"\n");
    ::chmod(script.c_str(), 0755);
    ASSERT_EQ(StartProgram(script, "\"one two\" three"), StartResult::Started);
    std::string out;
    for (int i = 0; i < 200 && out.find("three\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = test::ReadBytes(script + ".out");
    }
    EXPECT_EQ(out, "one two\nthree\n");
}

}  // namespace
}  // namespace qm
