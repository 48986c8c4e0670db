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

}  // namespace

void RemoveLeftoverTemporaries(const ActiveConfig& config) {
    const NativeSetPaths& native = config.native;
    if (native.programDir) {
        RemoveTemporariesLeftIn(*native.programDir, [](std::string_view name) {
            return name == kEntryFileName || name == kLastEntryFileName || EndsWith(name, ".ini");
        });
    }
    const std::string prototypeName = FileNamePart(config.prototypePath);
    if (native.diaryFolder) {
        RemoveTemporariesLeftIn(*native.diaryFolder, [&](std::string_view name) {
            return IsDiaryPageName(name) || name == prototypeName ||
                   (!config.currentName.empty() && name == config.currentName) ||
                   (!config.feed.file.empty() && name == config.feed.file);
        });
    }
    if (!config.logPath.empty() && native.logPath) {
        // A relative path's folder is the working folder, which is the program folder.
        NativePath folder = native.logPath->Folder();
        if (folder.empty() && native.programDir) folder = *native.programDir;
        const std::string logName = FileNamePart(config.logPath);
        RemoveTemporariesLeftIn(folder, [&](std::string_view name) { return name == logName; });
    }
}

}  // namespace qm
