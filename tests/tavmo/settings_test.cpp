// The settings file: owner-only, Shift-JIS values, a faithful round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <tuple>

#include "support/temp_dir.h"
#include "tavmo/upload_settings.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr auto kOwnerOnly =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

auto Fields(const UploadSettings& s) {
    return std::tie(s.destination, s.user, s.password, s.keyFile, s.imageFolder, s.caFile,
                    s.passive, s.verifyPeer);
}

TEST(UploadSettingsTest, RoundTripKeepsEveryValueInAnOwnerOnlyShiftJisFile) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    UploadSettings settings;
    settings.destination = "sftp://example.jp/~/public_html/日記/";
    settings.user = "たろう";
    settings.password = " 秘密=pass;# ";
    settings.keyFile = "/home/taro/.ssh/id_ed25519";
    settings.imageFolder = "画像/";
    settings.passive = false;
    settings.verifyPeer = false;
    settings.caFile = "/etc/ssl/private-ca.pem";

    const mode_t oldMask = ::umask(0);  // the widest a user could have
    const std::string saved = SaveSettings(ini, settings);
    ::umask(oldMask);
    ASSERT_EQ(saved, "");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), kOwnerOnly);
    auto loaded = LoadSettings(ini);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(Fields(*loaded), Fields(settings));
    // "たろう" is 82 BD 82 EB 82 A4 in Shift-JIS.
    EXPECT_NE(ReadBytes(ini).find("\x82\xbd\x82\xeb\x82\xa4"), std::string::npos);

    // A file someone made readable is put back to owner-only on the next save.
    ::chmod(ini.c_str(), 0644);
    ASSERT_EQ(SaveSettings(ini, settings), "");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), kOwnerOnly);

    // A text Shift-JIS cannot hold is refused by its key, not shown, and nothing is written.
    settings.password = "emoji \xF0\x9F\x98\x80";
    std::filesystem::remove(ini);
    const std::string failure = SaveSettings(ini, settings);
    EXPECT_NE(failure.find("PASSWORD"), std::string::npos) << failure;
    EXPECT_EQ(failure.find("emoji"), std::string::npos) << failure;
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST(UploadSettingsTest, MissingFileGivesDefaultsAndAHandWrittenOneIsRead) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    auto defaults = LoadSettings(ini);
    ASSERT_TRUE(defaults.has_value());
    EXPECT_EQ(defaults->destination, "");
    EXPECT_TRUE(defaults->passive);
    EXPECT_TRUE(defaults->verifyPeer);

    WriteBytes(ini, "[tavmo]\r\nurl=ftp://example.jp/\r\nuser=\x82\xbd\r\npassive=0\r\n");
    auto loaded = LoadSettings(ini);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->destination, "ftp://example.jp/");
    EXPECT_EQ(loaded->user, "た");
    EXPECT_FALSE(loaded->passive);
}

}  // namespace
}  // namespace qm::tavmo
