#include "platform/program_dir.h"

#include <filesystem>

#include "platform/utf8_path.h"

// The install rules pass where they put the helpers and the manuals, relative
// to the program's folder; these are the standard layout's places.
#ifndef QM_HELPER_FOLDER_FROM_BIN
#define QM_HELPER_FOLDER_FROM_BIN "../libexec/quillmaker"
#endif
#ifndef QM_MANUAL_FOLDER_FROM_BIN
#define QM_MANUAL_FOLDER_FROM_BIN "../share/doc/quillmaker"
#endif

namespace qm {

std::string NormalizeFolder(const std::string& dir) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(PathOfUtf8(dir.empty() ? "." : dir), ec);
    const std::u8string text =
        (ec ? PathOfUtf8(dir) : absolute.lexically_normal()).generic_u8string();
    std::string folder(text.begin(), text.end());
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool IsPortableFolder(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(PathOfUtf8(dir + "QMsys.ini"), ec);
}

std::string DefaultProgramFolder(const std::string& executableFolder) {
    return IsPortableFolder(executableFolder) ? executableFolder : UserDataFolder();
}

std::string InstalledHelperFolder(const std::string& executableFolder) {
    return NormalizeFolder(executableFolder + QM_HELPER_FOLDER_FROM_BIN);
}

std::string InstalledManualFolder(const std::string& executableFolder) {
    return NormalizeFolder(executableFolder + QM_MANUAL_FOLDER_FROM_BIN);
}

}  // namespace qm
