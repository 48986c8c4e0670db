#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

namespace qm {
namespace {

TEST(SplitCommandLine, QuotesGroupAndBackslashesOnlyEscapeBeforeAQuote) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"\"C:\\web\\a b.html\"  \"\"\tc", {"C:\\web\\a b.html", "", "c"}},
        {"a\\\\b a\\\"b \"a\\\\\"", {"a\\\\b", "a\"b", "a\\"}},
    };
    for (const auto& [line, words] : rows) EXPECT_EQ(SplitCommandLine(line), words) << line;
}

TEST(StartProgram, NotFoundOrStartedWithSplitArguments) {
    test::TempDir dir;
    const std::string script = dir / "record.sh";
    test::WriteBytes(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.out\"\n");
    EXPECT_EQ(StartProgram(script, ""), StartResult::NotFound);  // not executable
    EXPECT_EQ(StartProgram(dir / "tavmo/tavmo.exe", "/set"), StartResult::NotFound);
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
