#include "platform/program_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>

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

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    const passwd* account = ::getpwuid(::getuid());
    return account != nullptr && account->pw_dir != nullptr ? account->pw_dir : "";
}

}  // namespace

std::string ExecutableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return NormalizeFolder(".");
    return NormalizeFolder(exe.parent_path().string());
}

std::string NormalizeFolder(const std::string& dir) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(dir.empty() ? "." : dir, ec);
    std::string text = (ec ? std::filesystem::path(dir) : absolute.lexically_normal()).string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

bool EnterFolder(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

bool HandDownProgramFolder(const std::string& dir) {
    return ::setenv(kProgramFolderVariable, dir.c_str(), 1) == 0;
}

std::string HandedDownProgramFolder() {
    const std::string dir = EnvironmentValue(kProgramFolderVariable);
    return dir.empty() || dir.front() != '/' ? std::string() : NormalizeFolder(dir);
}

bool IsPortableFolder(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(dir + "QMsys.ini", ec);
}

std::string UserDataFolder() {
    // A relative XDG_DATA_HOME is invalid and is to be ignored.
    const std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == '/')
        return NormalizeFolder(dataHome + "/quillmaker");
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    return NormalizeFolder(home + "/.local/share/quillmaker");
}

std::string DefaultProgramFolder(const std::string& executableFolder) {
    return IsPortableFolder(executableFolder) ? executableFolder : UserDataFolder();
}

bool MakeFolder(const std::string& dir) {
    std::string made;
    for (const auto& part : std::filesystem::path(dir)) {
        made = (std::filesystem::path(made) / part).string();
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec);
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
        if (std::filesystem::is_regular_file(folder + "example.ini", ec)) return folder;
    }
    return std::nullopt;
}

}  // namespace qm
