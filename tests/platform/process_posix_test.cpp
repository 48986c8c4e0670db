#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "platform/process.h"
#include "platform/program_dir.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;
using test::WriteBytes;

// Each argument arrives whole, whatever it holds; a program that cannot start
// says why, and an opener that ends with a failure is told apart.
TEST(Process, StartsWithTheArgumentsAsGivenOrSaysWhyNot) {
    TempDir dir;
    const std::string script = dir / "record.sh";
    WriteBytes(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.out\"\n");
    const std::string refuses = dir / "refuses.sh";
    WriteBytes(refuses, "#!/bin/sh\nexit 3\n");
    const std::pair<std::string, StartResult> rows[] = {
        {"", StartResult::NoProgram},
        {dir / "tavmo/tavmo.exe", StartResult::Missing},
        {"quillmaker-no-such-program", StartResult::Missing},  // searched in PATH
        {script, StartResult::NotExecutable},
        {dir.dir(), StartResult::NotExecutable},
    };
    for (const auto& [program, result] : rows) {
        EXPECT_EQ(StartProgram(program, {"/set"}), result) << program;
        EXPECT_EQ(StartProgram(program, {}, StartWait::ForOpener), result) << program;
    }
    ::chmod(script.c_str(), 0755);
    ::chmod(refuses.c_str(), 0755);
    EXPECT_EQ(StartProgram(refuses, {}, StartWait::ForOpener), StartResult::Refused);
    EXPECT_EQ(StartProgram(refuses, {}), StartResult::Started);  // never waited for

    // Handed over as they are: nothing split, nothing turned into a '/'.
    const std::string odd = "表\" \"QMsys.ini\" C:\\web\\";
    ASSERT_EQ(StartProgram(script, {"one two", odd, ""}, StartWait::ForOpener),
              StartResult::Started);
    std::string out;
    for (int i = 0; i < 200 && out.find("\n\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = test::ReadBytes(script + ".out");
    }
    EXPECT_EQ(out, "one two\n" + odd + "\n\n");
}

// Without --home: beside the system settings file (portable), else the user
// data folder, made owner-only with its parents.
TEST(ProgramFolder, PortableBesideTheSystemFileElseTheUserDataFolderMadeOwnerOnly) {
    TempDir home, program;
    ScopedEnv homeEnv("HOME", home.dir().c_str()), dataHome("XDG_DATA_HOME", nullptr);
    const std::string data = home / ".local/share/quillmaker/";
    fs::create_directory(program / "QMsys.ini");  // a folder of that name does not count
    EXPECT_EQ(DefaultProgramFolder(program.dir()), data);
    fs::remove(program / "QMsys.ini");
    WriteBytes(program / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(DefaultProgramFolder(program.dir()), program.dir());
    for (std::string relative : {"relative/data", ""}) {  // XDG_DATA_HOME counts only when absolute
        ScopedEnv env("XDG_DATA_HOME", relative.c_str());
        EXPECT_EQ(UserDataFolder(), data);
    }
    ScopedEnv absolute("XDG_DATA_HOME", (home / "data").c_str());
    EXPECT_EQ(UserDataFolder(), home / "data/quillmaker/");

    ASSERT_TRUE(MakeFolder(data));
    EXPECT_EQ(fs::status(home / ".local").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(MakeFolder(data));  // a second start finds it there
    WriteBytes(home / "file", "");
    EXPECT_FALSE(MakeFolder(home / "file/quillmaker/"));
    EXPECT_FALSE(MakeFolder(home / "file"));
}

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

}  // namespace
}  // namespace qm
