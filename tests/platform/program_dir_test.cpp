// Which folder holds the settings when no --home is given, and where an
// installed system keeps its helpers and manuals.
#include "platform/program_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnv;

class ProgramFolder : public ::testing::Test {
  protected:
    test::TempDir home_;
    test::TempDir program_;
    ScopedEnv homeEnv_{"HOME", home_.dir().c_str()};
};

TEST_F(ProgramFolder, APortableFolderKeepsTheSettingsBesideTheProgram) {
    ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(DefaultProgramFolder(program_.dir()), home_ / ".local/share/quillmaker/");
    // Only the system settings file makes a folder portable, not a folder of that name.
    fs::create_directory(program_ / "QMsys.ini");
    EXPECT_EQ(DefaultProgramFolder(program_.dir()), home_ / ".local/share/quillmaker/");
    fs::remove(program_ / "QMsys.ini");
    test::WriteBytes(program_ / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(DefaultProgramFolder(program_.dir()), program_.dir());
}

TEST_F(ProgramFolder, UserDataFolderFollowsAnAbsoluteXdgDataHomeOnly) {
    {
        ScopedEnv dataHome("XDG_DATA_HOME", (home_ / "data").c_str());
        EXPECT_EQ(UserDataFolder(), home_ / "data/quillmaker/");
    }
    {
        ScopedEnv dataHome("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(UserDataFolder(), home_ / ".local/share/quillmaker/");
    }
    {
        ScopedEnv dataHome("XDG_DATA_HOME", "");
        EXPECT_EQ(UserDataFolder(), home_ / ".local/share/quillmaker/");
    }
}

TEST_F(ProgramFolder, WithoutHomeTheAccountsHomeFolderIsUsed) {
    ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    const std::string folder = UserDataFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_TRUE(folder.ends_with("/.local/share/quillmaker/")) << folder;
}

TEST_F(ProgramFolder, MakeFolderCreatesMissingParentsOwnerOnly) {
    const std::string data = home_ / ".local/share/quillmaker/";
    ASSERT_TRUE(MakeFolder(data));
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_EQ(fs::status(home_ / ".local").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(MakeFolder(data));  // a second start finds it there

    test::WriteBytes(home_ / "file", "");
    EXPECT_FALSE(MakeFolder(home_ / "file/quillmaker/"));
    EXPECT_FALSE(MakeFolder(home_ / "file"));
}

TEST(InstalledFolders, SitBesideTheProgramsBinFolder) {
    EXPECT_EQ(InstalledHelperFolder("/usr/bin/"), "/usr/libexec/quillmaker/");
    EXPECT_EQ(InstalledManualFolder("/opt/qm/bin/"), "/opt/qm/share/doc/quillmaker/");
}

}  // namespace
}  // namespace qm
