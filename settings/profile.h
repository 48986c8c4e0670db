// The private-profile INI store: the same text files and the same answers as
// the original platform's GetPrivateProfileString / GetPrivateProfileInt /
// WritePrivateProfileString, on code page 932 bytes.
//
// Section and key names match without regard to ASCII case. Reading a key
// never fails: a missing file, section or key gives the default. Every write
// reaches the file (through a temporary file and a rename) before the call
// returns. `iniPath` is a code page 932 path, as stored in ActiveConfig.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_result.h"
#include "platform/native_path.h"

// windows.h, where a file included it first, names the system's own
// WriteProfileString as a macro; here the store's is meant.
#undef WriteProfileString

namespace qm {

struct IniFile;

// A settings file read once and answered from memory. An operation loads
// each settings file once and passes it down: every key it reads then comes
// from one version of the file, and a read that fails is an error, never a
// file whose keys all read as their defaults (a missing EDIT key would
// quietly write into the prototype).
class SettingsFile {
  public:
    // An empty file: every key reads as its default.
    explicit SettingsFile(std::string iniPath = {}) : path_(std::move(iniPath)) {}
    // A missing file reads as an empty one, as the defaults stand for it;
    // a file that is there but cannot be read is a problem.
    static FileResult<SettingsFile> Load(std::string_view iniPath);
    // The same for a file whose name for the file system is known already.
    static FileResult<SettingsFile> Load(std::string iniPath,
                                         const FileResult<NativePath>& nativePath);
    // For readers that take the defaults when the file cannot be read.
    static SettingsFile LoadOrEmpty(std::string_view iniPath);

    const std::string& path() const { return path_; }
    // The parsed lines; nullptr for an empty file.
    const IniFile* lines() const { return lines_.get(); }

  private:
    std::string path_;
    std::shared_ptr<const IniFile> lines_;
};

// How many times a settings file has been loaded (SettingsFile::Load) in this run.
std::size_t SettingsFileReads();

// The value of `key`, or `defaultValue` when the key is absent, cut to
// `capacity` - 1 bytes (never in the middle of a double-byte character).
std::string ReadProfileString(const SettingsFile& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t capacity);
std::string ReadProfileString(std::string_view iniPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t capacity);

// The section's key names in file order, each followed by a NUL byte, then one
// more NUL byte; only names that fit `capacity` whole are listed. An empty or
// missing section gives a single NUL byte.
std::string ReadProfileKeyList(const SettingsFile& file, std::string_view section,
                               std::size_t capacity);

// The decimal number at the start of the value (sign allowed), 0 when there is
// none, `defaultValue` when the key is absent.
int ReadProfileInt(const SettingsFile& file, std::string_view section, std::string_view key,
                   int defaultValue);
int ReadProfileInt(std::string_view iniPath, std::string_view section, std::string_view key,
                   int defaultValue);

struct ProfileKey {
    std::string name;
    std::string value;
};

// Every key of the section in file order, each value as ReadProfileString
// would give it (cut to `capacity` - 1 bytes). A name may occur twice; a
// lookup by name finds the first. One read for a whole list of keys.
std::vector<ProfileKey> ReadProfileSection(const SettingsFile& file, std::string_view section,
                                           std::size_t capacity);

// Writes `value` under `key`; std::nullopt removes the key. A new key goes to
// the end of its section, a new section to the end of the file, a missing file
// is created. Returns false when the file could not be written.
[[nodiscard]] bool WriteProfileString(std::string_view iniPath, std::string_view section,
                                      std::string_view key, std::optional<std::string_view> value);

// One key's change for WriteProfileStrings: std::nullopt removes the key.
struct ProfileEdit {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

// Applies the edits in order, exactly as that many WriteProfileString calls
// would, but rewrites the file once: either every edit reaches it or none does.
[[nodiscard]] bool WriteProfileStrings(std::string_view iniPath,
                                       const std::vector<ProfileEdit>& edits);

[[nodiscard]] bool WriteProfileInt(std::string_view iniPath, std::string_view section,
                                   std::string_view key, int value);
[[nodiscard]] bool WriteProfileFlag(std::string_view iniPath, std::string_view section,
                                    std::string_view key, bool on);

}  // namespace qm
