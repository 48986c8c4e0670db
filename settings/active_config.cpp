#include "settings/active_config.h"

#include "platform/path_text.h"

namespace qm {

std::string SetIniPath(const std::string& programDir, const std::string& setName) {
    return programDir + setName + ".ini";
}

std::string DiaryFolderFor(const std::string& prototypePath, const std::string& programDir) {
    if (!HasSeparator(prototypePath)) return programDir;
    return FolderPart(prototypePath);
}

}  // namespace qm
