#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/system_io.h"

namespace qm {

namespace {

// Errors by which copy_file_range says "not here" (another file system, an
// old kernel, a file system without it) rather than "the copy failed".
bool KernelCopyRefused(int error) {
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP ||
           error == ENOTSUP || error == EBADF || error == ETXTBSY || error == EPERM;
}

}  // namespace

std::int64_t ReadAt(int fd, char* data, std::size_t size, std::uint64_t offset) {
    for (;;) {
        const ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<mode_t> PermissionsOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return st.st_mode & 0777;
}

void StartWriteBack(int fd) { ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE); }

// File systems on which copy_file_range avoids copying the bytes here:
// shared blocks (btrfs, XFS, OCFS2, bcachefs, ZFS) or a copy made by the
// server (NFS, SMB, Ceph).
bool KernelCopySaves(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case BTRFS_SUPER_MAGIC:
        case XFS_SUPER_MAGIC:
        case NFS_SUPER_MAGIC:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
        case 0x7461636fUL:  // OCFS2
        case 0xca451a4eUL:  // bcachefs
        case 0x2fc12fc1UL:  // ZFS
        case 0x00c36400UL:  // Ceph
            return true;
        default:
            return false;
    }
}

std::int64_t KernelCopy(int in, std::uint64_t& offset, int out, std::size_t length) {
    for (;;) {
        auto at = static_cast<off_t>(offset);
        const ssize_t n = ::copy_file_range(in, &at, out, nullptr, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return KernelCopyRefused(errno) ? 0 : -1;
        offset = static_cast<std::uint64_t>(at);
        return n;
    }
}

bool LinkFile(const NativePath& from, const NativePath& to) {
    return ::link(from.c_str(), to.c_str()) == 0;
}

FileResult<int> OpenReadOnlyRegular(const NativePath& path) {
    // Never waits on a FIFO, as no file function here does.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return SystemProblem(path.str(), errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
        ::close(fd);
        return SystemProblem(path.str(), S_ISREG(st.st_mode) ? EFBIG : EINVAL);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void CloseDescriptor(int fd) { ::close(fd); }

int TryLockFile(const NativePath& path) {
    const std::string& fsPath = path.str();
    int fd = ::open(fsPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    struct stat held {};
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    // Someone removed the lock file while we waited: the lock we got is on a
    // file no one else will open, so go round again on the new one.
    struct stat named {};
    if (::stat(fsPath.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
        named.st_ino != held.st_ino) {
        ::close(fd);
        errno = EWOULDBLOCK;
        return -1;
    }
    return fd;
}

const char* FindBytes(const char* haystack, std::size_t size, std::string_view needle) {
    return static_cast<const char*>(::memmem(haystack, size, needle.data(), needle.size()));
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

bool RemoveIfUnowned(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool removed = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace qm
