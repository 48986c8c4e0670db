#include "platform/scratch_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "platform/path_text.h"

namespace qm {

bool ReplaceScratchFile(std::string_view cp932Path, std::string_view content) {
    auto fsPath = ToFsPath(cp932Path);
    if (!fsPath || fsPath->empty()) return false;
    const std::filesystem::path target(*fsPath);
    std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        NoteFileProblem(*fsPath, errno);
        return false;
    }
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
    if (ok) ok = ::rename(temp.c_str(), fsPath->c_str()) == 0;
    if (!ok) {
        NoteFileProblem(*fsPath, errno);
        ::unlink(temp.c_str());
    }
    return ok;
}

}  // namespace qm
