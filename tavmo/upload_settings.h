// The tool's own settings, kept in "tavmo.ini" through the project's INI
// store (code page 932 values). The password goes into the desktop keyring
// where one answers; where none does it stays in the file, which is
// therefore kept readable by its owner only.
//
// Section TAVMO: URL (destination folder), USER, PASSWORD (also the key's
// passphrase), KEYFILE (sftp private key), IMAGEFOLDER, PASSIVE (1/0, default
// 1), VERIFY (1/0, default 1), CAFILE (extra certificate authorities, only in
// the file, not in the window).
#pragma once

#include <optional>
#include <string>

#include "tavmo/transfer.h"

namespace qm::tavmo {

// In memory every text is UTF-8; the store's code page 932 is met only here.
struct UploadSettings {
    std::string destination;  // URL of the remote folder
    std::string user;
    std::string password;
    std::string keyFile;
    std::string imageFolder;  // empty: the images go with the pages
    bool passive = true;
    bool verifyPeer = true;
    std::string caFile;

    bool operator==(const UploadSettings&) const = default;
};

// Where "tavmo.ini" is kept (UTF-8): in the tavmo/ folder of the program
// folder the diary program handed down; started alone, by the tool's own rule: beside the tool
// in `toolFolder` when that is kept portable (a tavmo.ini is there already, or
// the tool sits in a portable program folder's tavmo/ folder), otherwise in
// the tavmo/ folder of the user's data folder. Empty when no home is known.
std::string SettingsPathFor(const std::string& toolFolder);

// SettingsPathFor the running executable's folder.
std::string DefaultSettingsPath();

// A keeper of passwords outside the settings file (the desktop keyring),
// one password per settings file, named by the file's path.
class PasswordKeyring {
  public:
    virtual ~PasswordKeyring() = default;
    // The password kept for `account`; std::nullopt when there is none or no
    // keyring answers.
    virtual std::optional<std::string> Read(const std::string& account) = 0;
    // True when the keyring now keeps `password` for `account`.
    virtual bool Write(const std::string& account, const std::string& password) = 0;
    // True when the keyring keeps nothing for `account` afterwards.
    virtual bool Remove(const std::string& account) = 0;
};

// A missing file gives the defaults; std::nullopt only when the path cannot be
// named in code page 932 or a value is not valid code page 932. A password
// in the file is the newest one (it is only written there when no keyring
// took it); without one the keyring's password for this file is used.
std::optional<UploadSettings> LoadSettings(const std::string& iniPath,
                                           PasswordKeyring* keyring = nullptr);

// Writes every key. The password goes into the keyring when it takes it, and
// the file's PASSWORD is then emptied (so a password found in the file moves
// into the keyring here); otherwise the file keeps it. Before the first write
// the file is created with mode 0600 and its mode is put back to 0600
// afterwards (and its folder, owner-only, when missing). Empty when saved,
// else a Japanese reason.
std::string SaveSettings(const std::string& iniPath, const UploadSettings& settings,
                         PasswordKeyring* keyring = nullptr);

// How the settings connect (user, password, key, passive mode, checks).
Connection ConnectionOf(const UploadSettings& settings);

}  // namespace qm::tavmo
