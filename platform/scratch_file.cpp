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

bool WriteScratchFile(std::string_view cp932Path, std::string_view content) {
    auto fsPath = ToFsPath(cp932Path);
    if (!fsPath || fsPath->empty()) return false;
    // Never waits on a FIFO left at its name.
    const int fd =
        ::open(fsPath->c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        NoteFileProblem(*fsPath, errno);
        return false;
    }
    struct stat st {};
    // Written only once it is ours: a holder elsewhere keeps what it has.
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    // Written over the old content and then cut to length, not emptied
    // first: a file emptied and written again is flushed on closing by some
    // file systems (ext4), which would cost the disk write this file avoids.
    const char* data = content.data();
    std::size_t left = content.size();
    off_t at = 0;
    while (ok && left > 0) {
        const ssize_t n = ::pwrite(fd, data, left, at);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            data += n;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = ok && ::ftruncate(fd, at) == 0;
    if (!ok) NoteFileProblem(*fsPath, errno);
    return (::close(fd) == 0) && ok;
}

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
    bool ok = true;
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
