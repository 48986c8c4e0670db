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

FileResult<NativePath> NativeProgramFile(const ActiveConfig& config, std::string_view asciiName) {
    if (!config.native.programDir) return config.native.programDir.problem();
    return *config.native.programDir + asciiName;
}

void NoteNativeSetPaths(ActiveConfig& config) {
    NativeSetPaths& native = config.native;
    native.prototypePath = NativePathOf(config.prototypePath);
    native.templatePath = NativePathOf(config.templatePath);
    native.logPath = NativePathOf(config.logPath);
    // The folder comes from the prototype's name, as its stored text does.
    if (!HasSeparator(config.prototypePath)) {
        native.diaryFolder = native.programDir;
    } else if (native.prototypePath) {
        native.diaryFolder = native.prototypePath->Folder();
    } else {
        native.diaryFolder = native.prototypePath.problem();
    }
    native.currentCopy = NativePathOf(config.diaryFolder + config.currentName);
    native.feed = config.feed.file.empty() ? FileResult<NativePath>(NoFileName())
                                           : NativePathOf(config.diaryFolder + config.feed.file);
    native.diaryPage = NoFileName();
}

}  // namespace qm
