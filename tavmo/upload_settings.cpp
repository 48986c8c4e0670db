#include "tavmo/upload_settings.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/program_dir.h"
#include "settings/profile.h"

namespace qm::tavmo {

namespace {

constexpr const char* kSection = "TAVMO";
constexpr const char* kFileName = "tavmo.ini";
// Large enough for any URL or path a user types; the store cuts at capacity - 1.
constexpr std::size_t kCapacity = 4096;

std::optional<std::string> ReadText(const std::string& iniCp932, const char* key,
                                    const char* fallback) {
    const std::string value = ReadProfileString(iniCp932, kSection, key, fallback, kCapacity);
    return Cp932ToUtf8(value);
}

bool ReadFlag(const std::string& iniCp932, const char* key, bool fallback) {
    return ReadProfileInt(iniCp932, kSection, key, fallback ? 1 : 0) != 0;
}

// Creates the file empty and owner-only when it is not there yet, so the
// password never sits in a file others can read, not even for a moment. On
// Windows the folder's access list (the user's own profile, or the portable
// folder's) decides who reads it: the folder is all it needs.
bool CreateOwnerOnly(const std::string& fsPath) {
    const auto slash = fsPath.rfind('/');
    if (slash != std::string::npos && !MakeFolder(fsPath.substr(0, slash + 1))) return false;
#ifdef _WIN32
    return true;
#else
    int fd = ::open(fsPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0600) == 0;
    return (::close(fd) == 0) && ok;
#endif
}

// Whatever the store did while rewriting, the file stays owner-only.
bool KeepOwnerOnly(const std::string& fsPath) {
#ifdef _WIN32
    static_cast<void>(fsPath);
    return true;
#else
    return ::chmod(fsPath.c_str(), 0600) == 0;
#endif
}

}  // namespace

std::string SettingsPathFor(const std::string& toolFolder) {
    const std::string programFolder = HandedDownProgramFolder();
    if (!programFolder.empty()) return programFolder + "tavmo/" + kFileName;
    const std::string beside = toolFolder + kFileName;
    if (FileExists(NativePath(beside)) || IsPortableFolder(NormalizeFolder(toolFolder + ".."))) {
        return beside;
    }
    const std::string dataFolder = UserDataFolder();
    return dataFolder.empty() ? dataFolder : dataFolder + "tavmo/" + kFileName;
}

std::string DefaultSettingsPath() { return SettingsPathFor(ExecutableFolder()); }

std::optional<UploadSettings> LoadSettings(const std::string& iniPath, PasswordKeyring* keyring) {
    auto ini = Utf8ToCp932(iniPath);
    if (!ini) return std::nullopt;
    UploadSettings settings;
    auto destination = ReadText(*ini, "URL", "");
    auto user = ReadText(*ini, "USER", "");
    auto password = ReadText(*ini, "PASSWORD", "");
    auto keyFile = ReadText(*ini, "KEYFILE", "");
    auto imageFolder = ReadText(*ini, "IMAGEFOLDER", "");
    auto caFile = ReadText(*ini, "CAFILE", "");
    if (!destination || !user || !password || !keyFile || !imageFolder || !caFile) {
        return std::nullopt;
    }
    settings.destination = *destination;
    settings.user = *user;
    settings.password = *password;
    settings.keyFile = *keyFile;
    settings.imageFolder = *imageFolder;
    settings.caFile = *caFile;
    settings.passive = ReadFlag(*ini, "PASSIVE", true);
    settings.verifyPeer = ReadFlag(*ini, "VERIFY", true);
    if (settings.password.empty() && keyring) {
        settings.password = keyring->Read(iniPath).value_or(std::string());
    }
    return settings;
}

std::string SaveSettings(const std::string& iniPath, const UploadSettings& settings,
                         PasswordKeyring* keyring) {
    auto ini = Utf8ToCp932(iniPath);
    if (!ini) return "設定ファイルの場所の名前が扱えません: " + iniPath;
    struct Entry {
        const char* key;
        const std::string* value;
    };
    const std::string noPassword;
    constexpr std::size_t kPasswordAt = 2;
    const Entry texts[] = {
        {"URL", &settings.destination}, {"USER", &settings.user},
        {"PASSWORD", &noPassword},  // filled in below, once the rest can be written
        {"KEYFILE", &settings.keyFile}, {"IMAGEFOLDER", &settings.imageFolder},
        {"CAFILE", &settings.caFile},
    };
    std::string converted[std::size(texts)];
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        auto value = Utf8ToCp932(*texts[i].value);
        if (!value) {
            return std::string("Shift-JISで書けない文字が含まれているため保存できません: ") +
                   texts[i].key;
        }
        converted[i] = *value;
    }
    // The keyring takes the password when it can; the file keeps it otherwise.
    const bool keptInKeyring =
        keyring && (settings.password.empty() ? keyring->Remove(iniPath)
                                              : keyring->Write(iniPath, settings.password));
    if (!keptInKeyring) {
        auto password = Utf8ToCp932(settings.password);
        if (!password) {
            return "Shift-JISで書けない文字が含まれているため保存できません: PASSWORD";
        }
        converted[kPasswordAt] = *password;
    }
    if (!CreateOwnerOnly(iniPath)) return "設定ファイルを作れませんでした: " + iniPath;
    bool ok = true;
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        ok = WriteProfileString(*ini, kSection, texts[i].key, converted[i]) && ok;
    }
    ok = WriteProfileFlag(*ini, kSection, "PASSIVE", settings.passive) && ok;
    ok = WriteProfileFlag(*ini, kSection, "VERIFY", settings.verifyPeer) && ok;
    ok = KeepOwnerOnly(iniPath) && ok;
    if (!ok) return "設定ファイルに書き込めませんでした: " + iniPath;
    return {};
}

Connection ConnectionOf(const UploadSettings& settings) {
    Connection connection;
    connection.user = settings.user;
    connection.password = settings.password;
    connection.keyFile = settings.keyFile;
    connection.passive = settings.passive;
    connection.verifyPeer = settings.verifyPeer;
    connection.caFile = settings.caFile;
    return connection;
}

}  // namespace qm::tavmo
