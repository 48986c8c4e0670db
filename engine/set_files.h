// Whether a configuration set can be read at all. A set whose name is not a
// plain file name is shown in the lists but its file is never touched; a
// settings file that exists but cannot be read never stands for the defaults.
#pragma once

#include <optional>
#include <string_view>

#include "settings/profile.h"

namespace qm {

struct ActiveConfig;
class Host;

// Says that a settings file cannot be read, and why.
void TellSettingsUnreadable(const FileProblem& problem, Host& host);

// The settings file at `iniPath` (named `nativePath` for the file system), read once for the
// operation: missing (the defaults apply) or a readable regular file. std::nullopt after a message
// saying which file and why.
std::optional<SettingsFile> LoadSettingsOrSay(std::string iniPath,
                                              const FileResult<NativePath>& nativePath, Host& host);

// The set's file (programDir + setName + ".ini", named `nativePath` for the
// file system), read once, when `setName` passes the set manager's rules;
// std::nullopt after a message saying which file or name and why.
std::optional<SettingsFile> LoadSetFile(const ActiveConfig& config, std::string_view setName,
                                        const FileResult<NativePath>& nativePath, Host& host);

}  // namespace qm
