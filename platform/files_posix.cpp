#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/files.h"
#include "platform/system_io.h"

namespace qm {

namespace {

// At most kMaxReadBytes from the start of the file; a file that grows past
// that while it is read is refused as well.
FileResult<std::string> ReadAllFrom(int fd, const std::string& fsPath) {
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0 &&
        static_cast<std::uint64_t>(st.st_size) <= kMaxReadBytes) {
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemProblem(fsPath, errno);
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
        if (out.size() > kMaxReadBytes) return SystemProblem(fsPath, EFBIG);
    }
    return out;
}

// Opens `fsPath` without ever waiting (a FIFO without a writer would block an
// ordinary open for ever) and keeps it only when it is a regular file that
// can be read whole.
FileResult<int> OpenRegular(const std::string& fsPath, int flags, mode_t createMode = 0666) {
    int fd = ::open(fsPath.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, createMode);
    if (fd < 0) return SystemProblem(fsPath, errno);
    struct stat st {};
    FileProblem problem;
    if (::fstat(fd, &st) != 0) {
        problem = SystemProblem(fsPath, errno);
    } else if (!S_ISREG(st.st_mode)) {
        problem =
            Refusal(fsPath, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
        problem = SystemProblem(fsPath, EFBIG);
    } else {
        // Regular files never block; the flag only served the open.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    ::close(fd);
    return problem;
}

// The file a write really goes to: a symbolic link is followed to its target,
// so the link itself stays a link.
std::string ResolveWriteTarget(const std::string& fsPath) {
    std::error_code ec;
    std::filesystem::path path(fsPath);
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, ec); ++hops) {
        auto target = std::filesystem::read_symlink(path, ec);
        if (ec) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path.string();
}

std::string FolderOf(const std::string& fsPath) {
    std::string folder = std::filesystem::path(fsPath).parent_path().string();
    return folder.empty() ? "." : folder;
}

// A new, empty temporary file beside `target`, named ".NAME.XXXXXX", open for
// reading too (a replaced page is read on through it) and locked while it is
// open, so a clean-up (leftover_temps.h) tells it from a killed run's. With
// `keepMode` it gets those permission bits; without, the bits a new file gets
// (0666 less the umask, applied by the system: the umask is never changed).
FileResult<int> CreateTempBeside(const std::string& target, std::optional<mode_t> keepMode,
                                 std::string& tempPath) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    const std::string stem =
        FolderOf(target) + "/." + std::filesystem::path(target).filename().string() + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem;
        for (int i = 0; i < 6; ++i) tempPath += kLetters[random() % (sizeof kLetters - 1)];
        int fd =
            ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, keepMode ? 0600 : 0666);
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && (!keepMode || ::fchmod(fd, *keepMode) == 0))
                return fd;
            const int error = errno;
            ::close(fd);
            ::unlink(tempPath.c_str());
            return SystemProblem(target, error);
        }
        if (errno != EEXIST) break;
    }
    return SystemProblem(target, errno);
}

// Makes the rename itself durable; a failure here cannot undo the write.
void SyncFolder(const std::string& folder) {
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

// Writes the content (through `writeContent`) into a temporary file beside
// `target` and renames it over `target`. With `keepLocked` the new file is
// locked before the rename and its descriptor returned open; otherwise it is
// closed (and the result -1). On failure `target` is as it was and no
// temporary file is left.
FileResult<int> WriteReplacement(const std::string& target, const ContentWriter& writeContent,
                                 std::optional<mode_t> keepMode, bool keepLocked) {
    std::string temp;
    auto fd = CreateTempBeside(target, keepMode, temp);
    if (!fd) return fd;
    bool ok = (!keepLocked || ::flock(*fd, LOCK_EX | LOCK_NB) == 0) && writeContent(*fd) &&
              ::fsync(*fd) == 0;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        ::close(*fd);
        ::unlink(temp.c_str());
        return SystemProblem(target, error);
    }
    SyncFolder(FolderOf(target));
    if (keepLocked) return fd;
    ::close(*fd);  // everything is on disk already
    return -1;
}

std::optional<mode_t> ExistingMode(const std::string& fsPath) {
    struct stat st {};
    if (::stat(fsPath.c_str(), &st) != 0) return std::nullopt;
    return st.st_mode & 07777;
}

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FileResult<LockedFile> LockedFile::Open(const NativePath& path, Mode mode) {
    const std::string& fsPath = path.str();
    const int flags = O_RDWR | (mode == Mode::CreateIfMissing ? O_CREAT : 0);
    // A holder that replaced the file between our open and our lock has moved
    // on to the new file: the lock we got is on a name that is gone, so try again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        auto fd = OpenRegular(fsPath, flags);
        if (!fd) return fd.problem();
        if (::flock(*fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(*fd);
            return SystemProblem(fsPath, error);
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(*fd, &held) == 0 && ::stat(fsPath.c_str(), &named) == 0 &&
            SameInode(held, named)) {
            return LockedFile(*fd, path);
        }
        ::close(*fd);
    }
    return SystemProblem(fsPath, EBUSY);
}

FileResult<std::string> LockedFile::ReadAll() const { return ReadAllFrom(fd_, path_.str()); }

FileStatus LockedFile::ReplaceWith(const ContentWriter& writeContent) {
    struct stat st {};
    std::optional<mode_t> mode;
    if (::fstat(fd_, &st) == 0) mode = st.st_mode & 07777;
    // The new file is locked before it takes the name, so no one else can
    // lock the page between the rename and our release of the old file.
    auto fd =
        WriteReplacement(ResolveWriteTarget(path_.str()), writeContent, mode, /*keepLocked=*/true);
    if (!fd) return fd.problem();
    ::close(fd_);
    fd_ = *fd;
    return {};
}

FileStatus ReplaceFileWith(const NativePath& path, const ContentWriter& writeContent) {
    const std::string target = ResolveWriteTarget(path.str());
    auto written = WriteReplacement(target, writeContent, ExistingMode(target), false);
    if (!written) return written.problem();
    return {};
}

FileStatus ReplaceFileNotFollowing(const NativePath& path, std::string_view content) {
    struct stat st {};
    std::optional<mode_t> mode;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    auto written = WriteReplacement(
        path.str(), [content](int fd) { return WriteAll(fd, content.data(), content.size()); },
        mode, false);
    if (!written) return written.problem();
    return {};
}

FileResult<std::string> ReadRegularFile(const NativePath& path) {
    auto fd = OpenRegular(path.str(), O_RDONLY);
    if (!fd) return fd.problem();
    auto content = ReadAllFrom(*fd, path.str());
    ::close(*fd);
    return content;
}

FileResult<std::string> ReadStandardInput() {
    std::string out;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemProblem("-", errno);
        }
        if (n == 0) return out;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxReadBytes) return SystemProblem("-", EFBIG);
    }
}

FileStatus RenameIntoAbsentName(const NativePath& temp, const NativePath& target) {
    const std::string& tempFsPath = temp.str();
    const std::string& targetFsPath = target.str();
    if (::renameat2(AT_FDCWD, tempFsPath.c_str(), AT_FDCWD, targetFsPath.c_str(),
                    RENAME_NOREPLACE) == 0) {
        SyncFolder(FolderOf(targetFsPath));
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return SystemProblem(targetFsPath, errno);
    }
    // Without a rename that refuses a taken name: an empty file claims the
    // name first (a kill before the rename leaves it empty, never another's).
    int claim = ::open(targetFsPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) return SystemProblem(targetFsPath, errno);
    ::close(claim);
    // The name is ours now; the finished file takes it whole.
    if (::rename(tempFsPath.c_str(), targetFsPath.c_str()) != 0) {
        const int error = errno;
        ::unlink(targetFsPath.c_str());
        return SystemProblem(targetFsPath, error);
    }
    SyncFolder(FolderOf(targetFsPath));
    return {};
}

FileStatus MoveFinishedFileIntoPlace(const NativePath& temp, const NativePath& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::chmod(temp.c_str(), old.st_mode & 07777);
    const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemProblem(temp.str(), errno);
    const bool flushed = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!flushed) return SystemProblem(temp.str(), error);
    if (::rename(temp.c_str(), target.c_str()) != 0) return SystemProblem(target.str(), errno);
    return {};
}

bool FileExists(const NativePath& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MakeOwnerWritable(const NativePath& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    if (st.st_mode & S_IWUSR) return true;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

FileStatus CopyFileTo(const NativePath& from, const NativePath& to, bool failIfExists) {
    auto in = OpenRegular(from.str(), O_RDONLY);
    if (!in) return in.problem();
    auto content = ReadAllFrom(*in, from.str());
    struct stat st {};
    bool haveMode = ::fstat(*in, &st) == 0;
    ::close(*in);
    if (!content) return content.problem();
    if (!failIfExists) return ReplaceFileContents(to, *content);
    return CreateFileWith(to, haveMode ? (st.st_mode & 0777) : 0644, [&content](int fd) {
        return WriteAll(fd, content->data(), content->size());
    });
}

FileStatus CreateFileWith(const NativePath& path, mode_t mode, const ContentWriter& writeContent) {
    const std::string& fsPath = path.str();
    // Write beside the target, then link it into place: the link fails when
    // the target exists, so an existing page is never overwritten.
    std::string temp;
    auto fd = CreateTempBeside(fsPath, mode, temp);
    if (!fd) return fd.problem();
    // Kept open (and so locked) until it has its name.
    if (!writeContent(*fd) || ::fsync(*fd) != 0) {
        const int error = errno;
        ::close(*fd);
        ::unlink(temp.c_str());
        return SystemProblem(fsPath, error);
    }
    if (::link(temp.c_str(), fsPath.c_str()) == 0) {
        ::unlink(temp.c_str());
        ::close(*fd);                  // flushed already: a failing close loses nothing
        SyncFolder(FolderOf(fsPath));  // the new name outlives a power cut too
        return {};
    }
    const int linkError = errno;
    const bool noHardLinks = linkError == EPERM || linkError == ENOTSUP ||
                             linkError == EOPNOTSUPP || linkError == ENOSYS;
    FileStatus renamed = noHardLinks ? RenameIntoAbsentName(NativePath(temp), path)
                                     : SystemProblem(fsPath, linkError);
    if (!renamed) ::unlink(temp.c_str());
    ::close(*fd);
    return renamed;
}

FileStatus RemoveFile(const NativePath& path) {
    if (::unlink(path.c_str()) != 0) return SystemProblem(path.str(), errno);
    return {};
}

}  // namespace qm
