#include "engine/leftovers.h"

#include <string>
#include <string_view>

#include "engine/diary_page.h"
#include "engine/last_entry.h"
#include "platform/leftover_temps.h"
#include "platform/path_text.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A relative path's folder is the working folder, which is the program folder.
std::string FolderOf(std::string_view path, const ActiveConfig& config) {
    std::string folder = FolderPart(path);
    return folder.empty() ? config.programDir : folder;
}

}  // namespace

void RemoveLeftoverTemporaries(const ActiveConfig& config) {
    RemoveTemporariesLeftIn(config.programDir, [](std::string_view name) {
        return name == kEntryFileName || name == kLastEntryFileName || EndsWith(name, ".ini");
    });
    const std::string prototypeName = FileNamePart(config.prototypePath);
    RemoveTemporariesLeftIn(config.diaryFolder, [&](std::string_view name) {
        return IsDiaryPageName(name) || name == prototypeName ||
               (!config.currentName.empty() && name == config.currentName);
    });
    if (!config.logPath.empty()) {
        const std::string logName = FileNamePart(config.logPath);
        RemoveTemporariesLeftIn(FolderOf(config.logPath, config),
                                [&](std::string_view name) { return name == logName; });
    }
}

}  // namespace qm
