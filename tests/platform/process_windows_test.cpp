#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/encoding.h"
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

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Each argument arrives whole and as stored, whatever it holds, also to a
// program in a folder whose name has a second byte of 0x5C; a program that
// cannot start says why.
TEST(Process, StartsWithTheArgumentsAsGivenOrSaysWhyNot) {
    TempDir dir;
    const std::string folderUtf8 = dir / "表 ソフト/";
    fs::create_directory(PathOf(folderUtf8));
    fs::copy_file(PathOf(ExecutableFolder() + "record_arguments.exe"),
                  PathOf(folderUtf8 + "record.exe"));
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
    }
    // The shell opens the file itself; one it cannot open is refused.
    EXPECT_EQ(StartProgram("xdg-open", {dir / "missing.html"}, StartWait::ForOpener),
              StartResult::Refused);

    const std::string record = dir / "record.out";
    ScopedEnv recordTo("QM_RECORD_TO", record.c_str());
    // Native arguments; an absolute path goes over with '\' as Windows
    // programs take it, a word such as "/set" as it is.
    const std::string odd = "表\" \"QMsys.ini\" C:\\web\\";
    const std::string program = Utf8ToCp932(folderUtf8 + "record.exe").value();
    ASSERT_EQ(StartProgram(program, {"one two", odd, "", "a\\\\b", "C:/web/表.html", "/set"}),
              StartResult::Started);
    std::string out;
    for (int i = 0; i < 500 && out.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = test::ReadBytes(record);
    }
    EXPECT_EQ(out, Utf8ToCp932("one two\n" + odd + "\n\na\\\\b\nC:\\web\\表.html\n/set\n").value());
}

// Without --home: beside the system settings file (portable), else
// %APPDATA%\Quillmaker, made with its parents.
TEST(ProgramFolder, PortableBesideTheSystemFileElseTheRoamingAppDataFolder) {
    TempDir appData, program;
    ScopedEnv env("APPDATA", appData.dir().c_str());
    const std::string data = appData / "Quillmaker/";
    EXPECT_EQ(UserDataFolder(), data);
    fs::create_directory(program / "QMsys.ini");  // a folder of that name does not count
    EXPECT_EQ(DefaultProgramFolder(program.dir()), data);
    fs::remove(program / "QMsys.ini");
    WriteBytes(program / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(DefaultProgramFolder(program.dir()), program.dir());
    {
        ScopedEnv relative("APPDATA", "relative\\data");  // the system's own folder then
        EXPECT_NE(UserDataFolder(), "");
        EXPECT_EQ(UserDataFolder().find("relative"), std::string::npos);
    }

    const std::string deep = appData / "日本語/十/Quillmaker/";
    ASSERT_TRUE(MakeFolder(deep));
    EXPECT_TRUE(fs::is_directory(PathOf(deep)));
    EXPECT_TRUE(MakeFolder(deep));  // a second start finds it there
    WriteBytes(appData / "file", "");
    EXPECT_FALSE(MakeFolder(appData / "file/Quillmaker/"));
    EXPECT_FALSE(MakeFolder(appData / "file"));

    const std::string own = ExecutableFolder();
    EXPECT_EQ(own.back(), '/');
    EXPECT_TRUE(fs::is_regular_file(PathOf(own + "record_arguments.exe"))) << own;
    const auto oldWorkingDir = fs::current_path();
    ASSERT_TRUE(EnterFolder(deep));
    EXPECT_EQ(NormalizeFolder("."), deep);
    EXPECT_EQ(NormalizeFolder(".."), appData / "日本語/十/");
    fs::current_path(oldWorkingDir);
}

}  // namespace
}  // namespace qm
