#include "platform/program_dir.h"

#include <filesystem>
#include <initializer_list>

#include "platform/utf8_path.h"

// The install rules pass where they put the helpers and the manuals, relative
// to the program's folder; these are the standard layout's places.
#ifndef QM_HELPER_FOLDER_FROM_BIN
#define QM_HELPER_FOLDER_FROM_BIN "../libexec/quillmaker"
#endif
#ifndef QM_MANUAL_FOLDER_FROM_BIN
#define QM_MANUAL_FOLDER_FROM_BIN "../share/quillmaker/manual"
#endif
#ifndef QM_EXAMPLE_FOLDER_FROM_BIN
#define QM_EXAMPLE_FOLDER_FROM_BIN "../share/quillmaker/example"
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

std::optional<std::string> FindExampleFolder(const std::string& executableFolder) {
    // The window program, in the helper folder, lies one level deeper than bin/.
    for (const std::string& folder :
         {executableFolder + "example/",
          NormalizeFolder(executableFolder + QM_EXAMPLE_FOLDER_FROM_BIN),
          NormalizeFolder(executableFolder + "../" QM_EXAMPLE_FOLDER_FROM_BIN)}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(PathOfUtf8(folder + "example.ini"), ec)) return folder;
    }
    return std::nullopt;
}

}  // namespace qm
