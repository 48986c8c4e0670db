// The settings file: owner-only, Shift-JIS values, a faithful round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "settings/profile.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "tavmo/upload_settings.h"

namespace qm::tavmo {
namespace {

auto Fields(const UploadSettings& s) {
    return std::tie(s.destination, s.user, s.password, s.keyFile, s.imageFolder, s.caFile,
                    s.passive, s.verifyPeer);
}

TEST(UploadSettingsTest, RoundTripKeepsEveryValueInAnOwnerOnlyShiftJisFile) {
    test::TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    UploadSettings settings;
    settings.destination = "sftp://example.jp/~/public_html/日記/";
    settings.user = "たろう";
    settings.password = " 秘密=pass;# ";
    settings.keyFile = "/home/taro/.ssh/id_ed25519";
    settings.imageFolder = "画像/";
    settings.caFile = "/etc/ssl/private-ca.pem";
    settings.passive = settings.verifyPeer = false;

    const mode_t oldMask = ::umask(0);  // the widest a user could have
    const std::string saved = SaveSettings(ini, settings);
    ::umask(oldMask);
    ASSERT_EQ(saved, "");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0600));
    // "たろう" in Shift-JIS.
    EXPECT_NE(test::ReadBytes(ini).find("\x82\xbd\x82\xeb\x82\xa4"), std::string::npos);
    auto loaded = LoadSettings(ini);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(Fields(*loaded), Fields(settings));
}

// A keyring in memory that can be told to refuse, as one that is locked or
// not running does.
class MemoryKeyring : public PasswordKeyring {
  public:
    std::map<std::string, std::string> kept;
    bool answers = true;

    std::optional<std::string> Read(const std::string& account) override {
        if (!answers || !kept.count(account)) return std::nullopt;
        return kept[account];
    }
    bool Write(const std::string& account, const std::string& password) override {
        if (answers) kept[account] = password;
        return answers;
    }
    bool Remove(const std::string& account) override {
        if (answers) kept.erase(account);
        return answers;
    }
};

std::string FilePassword(const std::string& ini) {
    return ReadProfileString(ini, "TAVMO", "PASSWORD", "<absent>", 100);
}

TEST(UploadSettingsTest, ThePasswordLivesInTheKeyringWhereOneAnswersAndInTheFileWhereNone) {
    test::TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    MemoryKeyring keyring;
    UploadSettings settings;
    settings.user = "taro";
    settings.password = "秘密";

    ASSERT_EQ(SaveSettings(ini, settings, &keyring), "");
    EXPECT_EQ(keyring.kept, (std::map<std::string, std::string>{{ini, "秘密"}}));
    EXPECT_EQ(FilePassword(ini), "");
    EXPECT_EQ(LoadSettings(ini, &keyring)->password, "秘密");
    EXPECT_EQ(LoadSettings(ini)->password, "");  // the file alone does not hold it

    // A keyring that does not answer: the owner-only file keeps it, as it
    // always has, and that newer password wins once the keyring is back.
    keyring.answers = false;
    settings.password = "newer";
    ASSERT_EQ(SaveSettings(ini, settings, &keyring), "");
    EXPECT_EQ(FilePassword(ini), "newer");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0600));
    keyring.answers = true;
    auto loaded = LoadSettings(ini, &keyring);
    EXPECT_EQ(loaded->password, "newer");

    // The next save moves it into the keyring and out of the file.
    ASSERT_EQ(SaveSettings(ini, *loaded, &keyring), "");
    EXPECT_EQ(keyring.kept[ini], "newer");
    EXPECT_EQ(FilePassword(ini), "");

    // An emptied password leaves nothing behind anywhere.
    loaded->password.clear();
    ASSERT_EQ(SaveSettings(ini, *loaded, &keyring), "");
    EXPECT_TRUE(keyring.kept.empty());
    EXPECT_EQ(LoadSettings(ini, &keyring)->password, "");
}

TEST(UploadSettingsTest, NothingIsKeptWhenAnotherValueCannotBeWritten) {
    test::TempDir dir;
    MemoryKeyring keyring;
    UploadSettings settings;
    settings.user = "😀";  // not in Shift-JIS
    settings.password = "pw";
    EXPECT_NE(SaveSettings(dir / "tavmo.ini", settings, &keyring), "");
    EXPECT_TRUE(keyring.kept.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "tavmo.ini"));
}

// Beside the tool in a portable set-up, else in the user's data folder, where
// the first save makes the folder.
TEST(UploadSettingsTest, SettingsFileFollowsTheProgramFolderRule) {
    test::TempDir home, program;
    test::ScopedEnv homeEnv("HOME", home.dir().c_str());
    test::ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    const std::string tool = program / "tavmo/";
    std::filesystem::create_directory(tool);
    const std::string inData = home / ".local/share/quillmaker/tavmo/tavmo.ini";

    ASSERT_EQ(SettingsPathFor(tool), inData);
    UploadSettings settings;
    settings.destination = "file:///srv/web/";
    ASSERT_EQ(SaveSettings(inData, settings), "");
    EXPECT_EQ(LoadSettings(inData)->destination, settings.destination);
    EXPECT_EQ(std::filesystem::status(home / ".local/share/quillmaker/tavmo").permissions(),
              std::filesystem::perms::owner_all);

    test::WriteBytes(program / "QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(SettingsPathFor(tool), tool + "tavmo.ini");
    std::filesystem::remove(program / "QMsys.ini");
    test::WriteBytes(tool + "tavmo.ini", "");
    EXPECT_EQ(SettingsPathFor(tool), tool + "tavmo.ini");
}

TEST(UploadSettingsTest, SaveFailsWhenTheFolderCannotBeMade) {
    test::TempDir dir;
    test::WriteBytes(dir / "tavmo", "a file in the way");
    EXPECT_NE(SaveSettings(dir / "tavmo/tavmo.ini", UploadSettings{}), "");
}

}  // namespace
}  // namespace qm::tavmo
