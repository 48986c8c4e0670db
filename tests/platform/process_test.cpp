#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "support/temp_dir.h"

namespace qm {
namespace {

TEST(Process, SplitsLikeWindowsAndStartsWithTheSplitArgumentsOrNotFound) {
    EXPECT_EQ(SplitCommandLine("\"C:\\web\\a b.html\"  \"\"\tc a\\\\b a\\\"b \"a\\\\\""),
              (std::vector<std::string>{"C:\\web\\a b.html", "", "c", "a\\\\b", "a\"b", "a\\"}));
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

// The stored default "tavmo/tavmo.exe" is relative to the settings folder; an
// installed system keeps the tool in its helper folder instead.
TEST(Process, LocateProgramTriesTheWorkingDirectoryThenEachFolderInTurn) {
    test::TempDir settings, own, installed;
    const char* tool = "tavmo/tavmo.exe";
    for (const auto* dir : {&own, &installed, &settings}) {
        std::filesystem::create_directory(*dir / "tavmo");
        test::WriteBytes(*dir / tool, "#!/bin/sh\n");
    }
    const std::vector<std::string> folders{own.dir(), installed.dir()};
    EXPECT_EQ(LocateProgram(tool, {installed.dir()}), installed / tool);
    EXPECT_EQ(LocateProgram(tool, folders), own / tool);
    const auto oldWorkingDir = std::filesystem::current_path();
    std::filesystem::current_path(settings.dir());
    EXPECT_EQ(LocateProgram(tool, folders), tool);
    std::filesystem::current_path(oldWorkingDir);
    // Absolute paths, bare names and paths nowhere to be found stay as they are.
    for (const std::string& path : {own / tool, std::string("xdg-open"), std::string("up/tool")}) {
        EXPECT_EQ(LocateProgram(path, folders), path);
    }
}

}  // namespace
}  // namespace qm
