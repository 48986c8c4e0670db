#include "engine/set_files.h"

#include <string>

#include "engine/current_copy.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "settings/active_config.h"
#include "settings/file_name_rules.h"

namespace qm {

void TellSettingsUnreadable(const FileProblem& problem, Host& host) {
    host.ShowMessage(SjisWithFileProblem(msg::kSettingsUnreadableText, problem),
                     Sjis(msg::kSettingsUnreadableCaption));
}

std::optional<SettingsFile> LoadSettingsOrSay(std::string iniPath,
                                              const FileResult<NativePath>& nativePath,
                                              Host& host) {
    auto file = SettingsFile::Load(std::move(iniPath), nativePath);
    if (file) return std::move(*file);
    TellSettingsUnreadable(file.problem(), host);
    return std::nullopt;
}

std::optional<SettingsFile> LoadSetFile(const ActiveConfig& config, std::string_view setName,
                                        const FileResult<NativePath>& nativePath, Host& host) {
    const FileNameVerdict verdict = CheckSetName(setName, nativePath);
    if (verdict != FileNameVerdict::Usable) {
        host.ShowMessage(Sjis(msg::kSetNameUnusableText) + std::string(setName) + "\r\n" +
                             Sjis(FileNameReason(verdict)),
                         Sjis(msg::kSetNameUnusableCaption));
        return std::nullopt;
    }
    return LoadSettingsOrSay(SetIniPath(config.programDir, std::string(setName)), nativePath, host);
}

}  // namespace qm
