#include "platform/scratch_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path_text.h"

namespace qm {

bool WriteScratchFile(std::string_view cp932Path, std::string_view content) {
    auto fsPath = ToFsPath(cp932Path);
    if (!fsPath || fsPath->empty()) return false;
    const int fd = ::open(fsPath->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st {};
    // Emptied only once it is ours: a holder elsewhere keeps what it has.
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
              ::ftruncate(fd, 0) == 0;
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
    return (::close(fd) == 0) && ok;
}

}  // namespace qm
