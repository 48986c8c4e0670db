#include "engine/set_files.h"

#include <cerrno>
#include <string>

#include "engine/current_copy.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "settings/file_name_rules.h"
#include "settings/pinned_profile.h"

namespace qm {

namespace {

// A missing settings file holds the defaults; one that is there must be read.
bool ReadableOrMissing(std::string_view iniPath, Host& host) {
    // A pinned file was read, or found missing, when it was pinned.
    if (FindPin(iniPath) || ReadFileBytes(iniPath) || LastFileProblem().code == ENOENT) return true;
    host.ShowMessage(SjisWithFileProblem(msg::kSettingsUnreadableText),
                     Sjis(msg::kSettingsUnreadableCaption));
    return false;
}

}  // namespace

bool SetFilesUsable(const ActiveConfig& config, std::string_view setName, Host& host) {
    if (!ReadableOrMissing(config.systemIniPath, host)) return false;
    const FileNameVerdict verdict = CheckSetName(setName, config.programDir);
    if (verdict != FileNameVerdict::Usable) {
        host.ShowMessage(Sjis(msg::kSetNameUnusableText) + std::string(setName) + "\r\n" +
                             Sjis(FileNameReason(verdict)),
                         Sjis(msg::kSetNameUnusableCaption));
        return false;
    }
    return ReadableOrMissing(SetIniPath(config.programDir, std::string(setName)), host);
}

}  // namespace qm
