// The settings file: owner-only, Shift-JIS values, a faithful round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"
#include "tavmo/upload_settings.h"

namespace qm::tavmo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 0777;
}

UploadSettings Sample() {
    UploadSettings settings;
    settings.destination = "sftp://example.jp/~/public_html/日記/";
    settings.user = "たろう";
    settings.password = " 秘密=pass;# ";
    settings.keyFile = "/home/taro/.ssh/id_ed25519";
    settings.imageFolder = "画像/";
    settings.passive = false;
    settings.verifyPeer = false;
    settings.caFile = "/etc/ssl/private-ca.pem";
    return settings;
}

TEST(UploadSettingsTest, MissingFileGivesDefaults) {
    TempDir dir;
    auto settings = LoadSettings(dir / "tavmo.ini");
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->destination, "");
    EXPECT_TRUE(settings->passive);
    EXPECT_TRUE(settings->verifyPeer);
}

TEST(UploadSettingsTest, RoundTripKeepsEveryValue) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    ASSERT_EQ(SaveSettings(ini, Sample()), "");
    auto loaded = LoadSettings(ini);
    ASSERT_TRUE(loaded.has_value());
    const UploadSettings expected = Sample();
    EXPECT_EQ(loaded->destination, expected.destination);
    EXPECT_EQ(loaded->user, expected.user);
    EXPECT_EQ(loaded->password, expected.password);
    EXPECT_EQ(loaded->keyFile, expected.keyFile);
    EXPECT_EQ(loaded->imageFolder, expected.imageFolder);
    EXPECT_EQ(loaded->caFile, expected.caFile);
    EXPECT_FALSE(loaded->passive);
    EXPECT_FALSE(loaded->verifyPeer);
    // Stored as Shift-JIS: "たろう" is 82 BD 82 EB 82 A4.
    EXPECT_NE(ReadBytes(ini).find("\x82\xbd\x82\xeb\x82\xa4"), std::string::npos);
}

TEST(UploadSettingsTest, FileIsOwnerOnlyFromTheStartAndStaysSo) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    const mode_t oldMask = ::umask(0);  // the widest a user could have
    const std::string saved = SaveSettings(ini, Sample());
    ::umask(oldMask);
    ASSERT_EQ(saved, "");
    EXPECT_EQ(ModeOf(ini), 0600u);

    // A file someone made readable is put back to owner-only on the next save.
    ::chmod(ini.c_str(), 0644);
    ASSERT_EQ(SaveSettings(ini, Sample()), "");
    EXPECT_EQ(ModeOf(ini), 0600u);
}

TEST(UploadSettingsTest, TextsShiftJisCannotHoldAreRefusedAndNothingIsWritten) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    UploadSettings settings = Sample();
    settings.password = "emoji \xF0\x9F\x98\x80";
    const std::string failure = SaveSettings(ini, settings);
    EXPECT_NE(failure.find("PASSWORD"), std::string::npos) << failure;
    EXPECT_EQ(failure.find("emoji"), std::string::npos) << failure;
    struct stat st {};
    EXPECT_NE(::stat(ini.c_str(), &st), 0);
}

TEST(UploadSettingsTest, HandWrittenFileIsRead) {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    WriteBytes(ini, "[tavmo]\r\nurl=ftp://example.jp/\r\nuser=\x82\xbd\r\npassive=0\r\n");
    auto loaded = LoadSettings(ini);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->destination, "ftp://example.jp/");
    EXPECT_EQ(loaded->user, "た");
    EXPECT_FALSE(loaded->passive);
}

}  // namespace
}  // namespace qm::tavmo
