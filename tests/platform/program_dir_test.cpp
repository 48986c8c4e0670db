// Which folder holds the settings when no --home is given, and where an
// installed system keeps its helpers and manuals.
#include "platform/program_dir.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;

TEST(ProgramFolder, PortableBesideTheSystemFileElseTheUserDataFolder) {
    test::TempDir home, program;
    ScopedEnv homeEnv("HOME", home.dir().c_str()), dataHome("XDG_DATA_HOME", nullptr);
    const std::string data = home / ".local/share/quillmaker/";
    // Only the system settings file makes a folder portable, not a folder of that name.
    fs::create_directory(program / "QMsys.ini");
    EXPECT_EQ(DefaultProgramFolder(program.dir()), data);
    fs::remove(program / "QMsys.ini");
    test::WriteBytes(program / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(DefaultProgramFolder(program.dir()), program.dir());
    // XDG_DATA_HOME counts only when absolute.
    for (std::string relative : {"relative/data", ""}) {
        ScopedEnv env("XDG_DATA_HOME", relative.c_str());
        EXPECT_EQ(UserDataFolder(), data);
    }
    ScopedEnv absolute("XDG_DATA_HOME", (home / "data").c_str());
    EXPECT_EQ(UserDataFolder(), home / "data/quillmaker/");
    EXPECT_EQ(InstalledHelperFolder("/usr/bin/"), "/usr/libexec/quillmaker/");
    EXPECT_EQ(InstalledManualFolder("/opt/qm/bin/"), "/opt/qm/share/doc/quillmaker/");
}

TEST(ProgramFolder, WithoutHomeTheAccountsHomeFolderIsUsed) {
    ScopedEnv dataHome("XDG_DATA_HOME", nullptr), noHome("HOME", nullptr);
    EXPECT_TRUE(UserDataFolder().ends_with("/.local/share/quillmaker/")) << UserDataFolder();
}

TEST(ProgramFolder, MakeFolderCreatesMissingParentsOwnerOnlyOrFails) {
    test::TempDir home;
    const std::string data = home / ".local/share/quillmaker/";
    ASSERT_TRUE(MakeFolder(data));
    EXPECT_EQ(fs::status(home / ".local").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(MakeFolder(data));  // a second start finds it there
    test::WriteBytes(home / "file", "");
    EXPECT_FALSE(MakeFolder(home / "file/quillmaker/"));
    EXPECT_FALSE(MakeFolder(home / "file"));
}

}  // namespace
}  // namespace qm
