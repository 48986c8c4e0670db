#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/program_dir.h"

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

std::string ExecutablePath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    if (exe.empty()) return NormalizeFolder(".");
    return NormalizeFolder(std::filesystem::path(exe).parent_path().string());
}

bool EnterFolder(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

bool HandDownProgramFolder(const std::string& dir) {
    return ::setenv(kProgramFolderVariable, dir.c_str(), 1) == 0;
}

std::string HandedDownProgramFolder() {
    const std::string dir = EnvironmentValue(kProgramFolderVariable);
    return dir.empty() || dir.front() != '/' ? std::string() : NormalizeFolder(dir);
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

bool MakeFolder(const std::string& dir) {
    std::string made;
    for (const auto& part : std::filesystem::path(dir)) {
        made = (std::filesystem::path(made) / part).string();
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec);
}

}  // namespace qm
