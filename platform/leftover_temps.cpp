#include "platform/leftover_temps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/encoding.h"

namespace qm {

namespace {

constexpr std::size_t kRandomPart = 6;  // what mkstemp puts in place of XXXXXX

bool IsRandomPart(std::string_view text) {
    if (text.size() != kRandomPart) return false;
    for (char c : text) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) return false;
    }
    return true;
}

// The target's name (UTF-8) when `name` is ".TARGET.XXXXXX"; empty otherwise.
std::string_view TargetOfTemporary(std::string_view name) {
    if (name.size() < kRandomPart + 3 || name.front() != '.') return {};
    const std::size_t dot = name.size() - kRandomPart - 1;
    if (name[dot] != '.' || !IsRandomPart(name.substr(dot + 1))) return {};
    return name.substr(1, dot - 1);
}

// Removes the regular file `path` unless a live run holds its lock: every
// temporary is locked by its writer from its making to its rename.
bool RemoveIfUnowned(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool removed = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace

int RemoveTemporariesLeftIn(const NativePath& folderPath,
                            const std::function<bool(std::string_view)>& isOwnTarget) {
    const std::string folder = folderPath.empty() ? std::string("./") : folderPath.str() + "/";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view target = TargetOfTemporary(entry->d_name);
        if (target.empty()) continue;
        auto targetCp932 = Utf8ToCp932(target);
        if (!targetCp932 || !isOwnTarget(*targetCp932)) continue;
        const std::string path = folder + entry->d_name;
        if (RemoveIfUnowned(path)) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace qm
