#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "platform/scratch_file.h"

namespace qm {

FileStatus ReplaceScratchFile(const NativePath& path, std::string_view content) {
    const std::string& fsPath = path.str();
    const std::filesystem::path target(fsPath);
    std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return SystemProblem(fsPath, errno);
    // Locked while it is written, so a clean-up tells it from a killed run's.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const char* data = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            data += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), fsPath.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(temp.c_str());
        return SystemProblem(fsPath, error);
    }
    return {};
}

}  // namespace qm
