#include "platform/process.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "platform/encoding.h"
#include "platform/program_dir.h"
#include "support/program_run.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::ScopedEnv;
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

// Each argument arrives whole and as stored, whatever it holds, also to a
// program in a folder whose name has a second byte of 0x5C; a program that
// cannot start says why, and an opener that ends with a failure is told apart.
TEST(Process, StartsWithTheArgumentsAsGivenOrSaysWhyNot) {
    TempDir dir;
    const std::string folder = dir / "表 ソフト/";
    fs::create_directory(FsPath(folder));
    const std::string recorder = folder + "record.exe";
    fs::copy_file(QM_STAND_IN, FsPath(recorder));
    WriteBytes(dir / "notes.txt", "not a program");
    const std::pair<std::string, StartResult> rows[] = {
        {"", StartResult::NoProgram},
        {dir / "tavmo/tavmo.exe", StartResult::Missing},
        {"quillmaker-no-such-program", StartResult::Missing},  // searched in PATH
        {dir / "notes.txt", StartResult::NotExecutable},
        {dir.dir(), StartResult::NotExecutable},
    };
    for (const auto& [program, result] : rows) {
        EXPECT_EQ(StartProgram(program, {"/set"}), result) << program;
#ifndef _WIN32  // there the shell opens files itself
        EXPECT_EQ(StartProgram(program, {}, StartWait::ForOpener), result) << program;
#endif
    }
#ifdef _WIN32
    // One the shell cannot open is refused.
    EXPECT_EQ(StartProgram("xdg-open", {dir / "missing.html"}, StartWait::ForOpener),
              StartResult::Refused);
    // An absolute path goes over with '\' as Windows programs take it.
    const std::string given = "C:/web/表.html", taken = "C:\\web\\表.html";
#else
    const std::string refuses = dir / "refuses.sh";
    WriteBytes(refuses, "#!/bin/sh\nexit 3\n");
    ::chmod(refuses.c_str(), 0755);
    EXPECT_EQ(StartProgram(refuses, {}, StartWait::ForOpener), StartResult::Refused);
    EXPECT_EQ(StartProgram(refuses, {}), StartResult::Started);  // never waited for
    const std::string given = "C:/web/表.html", taken = given;
#endif

    // Handed over as they are: nothing split, no '\' turned into a '/'.
    const std::string odd = "表\" \"QMsys.ini\" C:\\web\\";
    ASSERT_EQ(StartProgram(Utf8ToCp932(recorder).value(), {"one two", odd, "", given, "/set"}),
              StartResult::Started);
    EXPECT_EQ(test::ArgumentsOf(recorder), "one two\n" + odd + "\n\n" + taken + "\n/set\n");
}

// Without --home: beside the system settings file (portable), else the user
// data folder, made with its parents (owner-only where modes exist).
TEST(ProgramFolder, PortableBesideTheSystemFileElseTheUserDataFolder) {
    TempDir home, program;
#ifdef _WIN32
    ScopedEnv env("APPDATA", home.dir().c_str());
    const std::string data = home / "Quillmaker/";
    {
        ScopedEnv relative("APPDATA", "relative\\data");  // the system's own folder then
        EXPECT_EQ(UserDataFolder().find("relative"), std::string::npos);
    }
#else
    ScopedEnv homeEnv("HOME", home.dir().c_str()), dataHome("XDG_DATA_HOME", nullptr);
    const std::string data = home / ".local/share/quillmaker/";
    for (std::string relative : {"relative/data", ""}) {  // XDG_DATA_HOME counts only when absolute
        ScopedEnv env("XDG_DATA_HOME", relative.c_str());
        EXPECT_EQ(UserDataFolder(), data);
    }
    {
        ScopedEnv absolute("XDG_DATA_HOME", (home / "data").c_str());
        EXPECT_EQ(UserDataFolder(), home / "data/quillmaker/");
    }
#endif
    fs::create_directory(program / "QMsys.ini");  // a folder of that name does not count
    EXPECT_EQ(DefaultProgramFolder(program.dir()), data);
    fs::remove(program / "QMsys.ini");
    WriteBytes(program / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(DefaultProgramFolder(program.dir()), program.dir());
    EXPECT_TRUE(fs::is_regular_file(FsPath(ExecutableFolder() + "CTestTestfile.cmake")));

    const std::string deep = data + "日本語/十/";
    ASSERT_TRUE(MakeFolder(deep));
    EXPECT_TRUE(fs::is_directory(FsPath(deep)));
#ifndef _WIN32
    EXPECT_EQ(fs::status(home / ".local").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
#endif
    EXPECT_TRUE(MakeFolder(deep));  // a second start finds it there
    WriteBytes(home / "file", "");
    EXPECT_FALSE(MakeFolder(home / "file/quillmaker/"));
    EXPECT_FALSE(MakeFolder(home / "file"));
#ifdef _WIN32
    const auto oldWorkingDir = fs::current_path();
    ASSERT_TRUE(EnterFolder(deep));
    EXPECT_EQ(NormalizeFolder("."), deep);
    EXPECT_EQ(NormalizeFolder(".."), data + "日本語/");
    fs::current_path(oldWorkingDir);
#endif
}

#ifndef _WIN32  // an installed layout of POSIX systems
// The example diary, from the command line in bin/ and from the window
// program in the helper folder; a portable folder's own comes first.
TEST(ProgramFolder, TheExampleDiaryIsFoundFromEitherProgram) {
    TempDir root;
    const std::string installed = root / "usr/share/quillmaker/example/";
    fs::create_directories(installed);
    WriteBytes(installed + "example.ini", "");
    for (const char* folder : {"usr/bin/", "usr/libexec/quillmaker/"})
        EXPECT_EQ(FindExampleFolder(root / folder), installed) << folder;
    EXPECT_EQ(FindExampleFolder(root / "opt/bin/"), std::nullopt);
    fs::create_directories(root / "usr/bin/example");
    WriteBytes(root / "usr/bin/example/example.ini", "");
    EXPECT_EQ(FindExampleFolder(root / "usr/bin/"), root / "usr/bin/example/");
}
#endif

}  // namespace
}  // namespace qm
