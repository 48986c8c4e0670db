// The settings file: owner-only, Shift-JIS values, a faithful round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <tuple>

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
