// Destinations as the user writes them, and the settings file: owner-only, Shift-JIS values, a
// faithful round trip, and the password in a keyring where one answers.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <map>
#include <tuple>

#include "settings/profile.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "tavmo/remote_url.h"
#include "tavmo/upload_settings.h"

namespace qm::tavmo {
namespace {

namespace fs = std::filesystem;

// A keyring in memory that refuses, as a locked one does, unless `answers`.
class MemoryKeyring : public PasswordKeyring {
  public:
    std::map<std::string, std::string> kept;
    bool answers = true;

    std::optional<std::string> Read(const std::string& account) override {
        return answers && kept.count(account) ? std::optional(kept[account]) : std::nullopt;
    }
    bool Write(const std::string& account, const std::string& password) override {
        return answers && (kept[account] = password, true);
    }
    bool Remove(const std::string& account) override {
        return answers && (kept.erase(account), true);
    }
};

class UploadSettingsTest : public ::testing::Test {
  protected:
    std::string FilePassword() { return ReadProfileString(ini_, "TAVMO", "PASSWORD", "-", 100); }
    test::TempDir dir_;
    const std::string ini_ = dir_ / "tavmo.ini";
    MemoryKeyring keyring_;
};

TEST_F(UploadSettingsTest, RoundTripKeepsEveryValueInAnOwnerOnlyShiftJisFile) {
    const UploadSettings settings{"sftp://example.jp/~/日記/",
                                  "たろう",
                                  " 秘密=pass;# ",
                                  "/home/taro/.ssh/id_ed25519",
                                  "画像/",
                                  false,
                                  false,
                                  "/etc/ssl/private-ca.pem"};
#ifdef _WIN32
    ASSERT_EQ(SaveSettings(ini_, settings), "");
#else
    const mode_t oldMask = ::umask(0);  // the widest a user could have
    const std::string saved = SaveSettings(ini_, settings);
    ::umask(oldMask);
    ASSERT_EQ(saved, "");
    EXPECT_EQ(fs::status(ini_).permissions(), fs::perms(0600));
#endif
    EXPECT_NE(test::ReadBytes(ini_).find("\x82\xbd\x82\xeb\x82\xa4"), std::string::npos);  // たろう
    auto fields = [](const UploadSettings& s) {
        return std::tie(s.destination, s.user, s.password, s.keyFile, s.imageFolder, s.caFile,
                        s.passive, s.verifyPeer);
    };
    EXPECT_EQ(fields(LoadSettings(ini_).value()), fields(settings));
}

// A keyring that does not answer: the owner-only file keeps the password,
// that newer one wins once the keyring is back, and the next save moves it
// into the keyring and out of the file.
TEST_F(UploadSettingsTest, APasswordKeptInTheFileWhileTheKeyringIsAwayMovesBackToIt) {
    UploadSettings settings;
    settings.password = "older";
    ASSERT_EQ(SaveSettings(ini_, settings, &keyring_), "");
    keyring_.answers = false;
    settings.password = "newer";
    ASSERT_EQ(SaveSettings(ini_, settings, &keyring_), "");
    EXPECT_EQ(FilePassword(), "newer");
    keyring_.answers = true;
    auto loaded = LoadSettings(ini_, &keyring_);
    ASSERT_EQ(loaded->password, "newer");
    ASSERT_EQ(SaveSettings(ini_, *loaded, &keyring_), "");
    EXPECT_EQ(keyring_.kept, (std::map<std::string, std::string>{{ini_, "newer"}}));
    EXPECT_EQ(FilePassword(), "");
    EXPECT_EQ(LoadSettings(ini_)->password, "");  // the file alone does not hold it
}

TEST_F(UploadSettingsTest, NothingIsKeptWhenAValueOrTheFolderCannotBeWritten) {
    UploadSettings settings;
    settings.user = "😀";  // not in Shift-JIS
    settings.password = "pw";
    EXPECT_NE(SaveSettings(ini_, settings, &keyring_), "");
    EXPECT_TRUE(keyring_.kept.empty());
    EXPECT_FALSE(fs::exists(ini_));
    test::WriteBytes(dir_ / "tavmo", "a file in the way");
    EXPECT_NE(SaveSettings(dir_ / "tavmo/tavmo.ini", UploadSettings{}), "");
}

// Beside the tool in a portable set-up (or where one is there already), else
// in the user's data folder.
TEST_F(UploadSettingsTest, SettingsFileFollowsTheProgramFolderRule) {
#ifdef _WIN32
    test::ScopedEnv appData("APPDATA", dir_.dir().c_str());
    const std::string dataFolder = dir_ / "Quillmaker/";
#else
    test::ScopedEnv home("HOME", dir_.dir().c_str()), dataHome("XDG_DATA_HOME", nullptr);
    const std::string dataFolder = dir_ / ".local/share/quillmaker/";
#endif
    const std::string tool = dir_ / "program/tavmo/";
    fs::create_directories(tool);
    EXPECT_EQ(SettingsPathFor(tool), dataFolder + "tavmo/tavmo.ini");
    test::WriteBytes(dir_ / "program/QMsys.ini", "[INI]\n0=example\n");
    EXPECT_EQ(SettingsPathFor(tool), tool + "tavmo.ini");
    fs::remove(dir_ / "program/QMsys.ini");
    test::WriteBytes(tool + "tavmo.ini", "");
    EXPECT_EQ(SettingsPathFor(tool), tool + "tavmo.ini");
}

// What is accepted is a folder URL the transfer library reads back unchanged.

TEST(RemoteUrlTest, AcceptedDestinationsReadBackAndUnusableOnesAreRefused) {
    for (auto [text, url] : {std::pair{"ftp://host", "ftp://host/"},
                             {"file:/srv/www", "file:///srv/www/"},
                             {"/srv/www/a b", "file:///srv/www/a%20b/"}}) {
        EXPECT_EQ(ParseRemoteFolder(text).value_or(RemoteFolder{}).url, url) << text;
        EXPECT_EQ(ParseRemoteFolder(url).value_or(RemoteFolder{}).url, url);
    }
#ifdef _WIN32
    const std::string drive = "file:///C:/www/%e6%97%a5%e8%a8%98/";  // 日記
    EXPECT_EQ(ParseRemoteFolder("C:\\www\\日記").value_or(RemoteFolder{}).url, drive);
    EXPECT_EQ(ParseRemoteFolder(drive).value_or(RemoteFolder{}).url, drive);
    EXPECT_EQ(LocalPathOf(drive + "a.html"), "C:/www/日記/a.html");
#endif
    // A file URL whose path is not absolute would come out naming a host; an
    // encoded control character names no folder, nor a URL that reads back as another.
    for (const char* text : {"file:relative/dir", "file:'//tm", "ftp://host/a?q",
                             "ftp://host/a%0A/", "ftp:/%7F", "ftp:/%32"}) {
        EXPECT_FALSE(ParseRemoteFolder(text)) << text;
    }
}

}  // namespace
}  // namespace qm::tavmo
