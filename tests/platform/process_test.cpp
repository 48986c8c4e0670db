#include "platform/process.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

// "tavmo/tavmo.exe" is relative to the settings folder (the working
// directory), else to each folder in turn (an installed helper folder).
TEST(Process, LocateProgramTriesTheWorkingDirectoryThenEachFolderInTurn) {
    TempDir settings, own, installed;
    const char* tool = "tavmo/tavmo.exe";
    for (const auto* dir : {&own, &installed, &settings}) {
        fs::create_directory(*dir / "tavmo");
        WriteBytes(*dir / tool, "#!/bin/sh\n");
    }
    const std::vector<std::string> folders{own.dir(), installed.dir()};
    EXPECT_EQ(LocateProgram(tool, {installed.dir()}), installed / tool);
    EXPECT_EQ(LocateProgram(tool, folders), own / tool);
    const auto oldWorkingDir = fs::current_path();
    fs::current_path(settings.dir());
    EXPECT_EQ(LocateProgram(tool, folders), tool);
    fs::current_path(oldWorkingDir);
    // Absolute paths, bare names and paths nowhere to be found stay as they are.
    for (const std::string& path : {own / tool, std::string("xdg-open"), std::string("up/tool")}) {
        EXPECT_EQ(LocateProgram(path, folders), path);
    }
}

}  // namespace
}  // namespace qm
