#include "platform/files.h"

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

#include "platform/path_text.h"

namespace qm {

namespace {

thread_local FileProblem lastProblem;

// Records a file refused for a reason of our own.
void NoteRefusal(const std::string& fsPath, std::string answer) {
    lastProblem = FileProblem{fsPath, 0, std::move(answer)};
}

bool WriteAllTo(int fd, std::string_view content) {
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// At most kMaxReadBytes from the start of the file; a file that grows past
// that while it is read is refused as well.
std::optional<std::string> ReadAllFrom(int fd, const std::string& fsPath) {
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
            NoteFileProblem(fsPath, errno);
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
        if (out.size() > kMaxReadBytes) {
            NoteFileProblem(fsPath, EFBIG);
            return std::nullopt;
        }
    }
    return out;
}

// Opens `fsPath` without ever waiting (a FIFO without a writer would block an
// ordinary open for ever) and keeps it only when it is a regular file that
// can be read whole. -1 (with the problem noted) otherwise.
int OpenRegular(const std::string& fsPath, int flags, mode_t createMode = 0666) {
    int fd = ::open(fsPath.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, createMode);
    if (fd < 0) {
        NoteFileProblem(fsPath, errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        NoteFileProblem(fsPath, errno);
    } else if (!S_ISREG(st.st_mode)) {
        NoteRefusal(fsPath, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
        NoteFileProblem(fsPath, EFBIG);
    } else {
        // Regular files never block; the flag only served the open.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    ::close(fd);
    return -1;
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
int CreateTempBeside(const std::string& target, std::optional<mode_t> keepMode,
                     std::string& tempPath) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
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
            NoteFileProblem(target, errno);
            ::close(fd);
            ::unlink(tempPath.c_str());
            return -1;
        }
        if (errno != EEXIST) break;
    }
    NoteFileProblem(target, errno);
    return -1;
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
// closed. -1 on failure, with `target` as it was and no temporary file left.
int WriteReplacement(const std::string& target, const ContentWriter& writeContent,
                     std::optional<mode_t> keepMode, bool keepLocked) {
    std::string temp;
    int fd = CreateTempBeside(target, keepMode, temp);
    if (fd < 0) return -1;
    bool ok = (!keepLocked || ::flock(fd, LOCK_EX | LOCK_NB) == 0) && writeContent(fd) &&
              ::fsync(fd) == 0;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        NoteFileProblem(target, errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return -1;
    }
    SyncFolder(FolderOf(target));
    if (keepLocked) return fd;
    ::close(fd);  // everything is on disk already
    return 0;
}

std::optional<mode_t> ExistingMode(const std::string& fsPath) {
    struct stat st {};
    if (::stat(fsPath.c_str(), &st) != 0) return std::nullopt;
    return st.st_mode & 07777;
}

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::optional<std::string> FsPathOf(std::string_view cp932Path) {
    auto fsPath = ToFsPath(cp932Path);
    if (!fsPath || fsPath->empty()) {
        NoteRefusal(fsPath.value_or(std::string()),
                    fsPath ? "no file name" : "the name is not valid Shift-JIS");
        return std::nullopt;
    }
    return fsPath;
}

}  // namespace

const FileProblem& LastFileProblem() { return lastProblem; }

void NoteFileProblem(const std::string& fsPath, int code) {
    lastProblem = FileProblem{fsPath, code, std::strerror(code)};
}

std::optional<LockedFile> LockedFile::Open(std::string_view cp932Path, Mode mode) {
    auto fsPath = FsPathOf(cp932Path);
    if (!fsPath) return std::nullopt;
    const int flags = O_RDWR | (mode == Mode::CreateIfMissing ? O_CREAT : 0);
    // A holder that replaced the file between our open and our lock has moved
    // on to the new file: the lock we got is on a name that is gone, so try again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        int fd = OpenRegular(*fsPath, flags);
        if (fd < 0) return std::nullopt;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            NoteFileProblem(*fsPath, errno);
            ::close(fd);
            return std::nullopt;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(fsPath->c_str(), &named) == 0 &&
            SameInode(held, named)) {
            return LockedFile(fd, *fsPath);
        }
        ::close(fd);
    }
    NoteFileProblem(*fsPath, EBUSY);
    return std::nullopt;
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(other.fd_), fsPath_(std::move(other.fsPath_)) {
    other.fd_ = -1;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        fsPath_ = std::move(other.fsPath_);
        other.fd_ = -1;
    }
    return *this;
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::optional<std::string> LockedFile::ReadAll() const { return ReadAllFrom(fd_, fsPath_); }

bool LockedFile::Replace(std::string_view content) {
    return ReplaceWith([content](int fd) { return WriteAllTo(fd, content); });
}

bool LockedFile::ReplaceWith(const ContentWriter& writeContent) {
    struct stat st {};
    std::optional<mode_t> mode;
    if (::fstat(fd_, &st) == 0) mode = st.st_mode & 07777;
    // The new file is locked before it takes the name, so no one else can
    // lock the page between the rename and our release of the old file.
    int fd = WriteReplacement(ResolveWriteTarget(fsPath_), writeContent, mode, /*keepLocked=*/true);
    if (fd < 0) return false;
    ::close(fd_);
    fd_ = fd;
    return true;
}

bool ReplaceFileContents(const std::string& fsPath, std::string_view content) {
    return ReplaceFileWith(fsPath, [content](int fd) { return WriteAllTo(fd, content); });
}

bool ReplaceFileWith(const std::string& fsPath, const ContentWriter& writeContent) {
    const std::string target = ResolveWriteTarget(fsPath);
    return WriteReplacement(target, writeContent, ExistingMode(target), /*keepLocked=*/false) == 0;
}

bool ReplaceFileNotFollowing(const std::string& fsPath, std::string_view content) {
    struct stat st {};
    std::optional<mode_t> mode;
    if (::lstat(fsPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    return WriteReplacement(
               fsPath, [content](int fd) { return WriteAllTo(fd, content); }, mode,
               /*keepLocked=*/false) == 0;
}

std::optional<std::string> ReadRegularFile(const std::string& fsPath) {
    int fd = OpenRegular(fsPath, O_RDONLY);
    if (fd < 0) return std::nullopt;
    auto content = ReadAllFrom(fd, fsPath);
    ::close(fd);
    return content;
}

std::optional<std::string> ReadStandardInput() {
    std::string out;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            NoteFileProblem("-", errno);
            return std::nullopt;
        }
        if (n == 0) return out;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxReadBytes) {
            NoteFileProblem("-", EFBIG);
            return std::nullopt;
        }
    }
}

bool RenameIntoAbsentName(const std::string& tempFsPath, const std::string& targetFsPath) {
    if (::renameat2(AT_FDCWD, tempFsPath.c_str(), AT_FDCWD, targetFsPath.c_str(),
                    RENAME_NOREPLACE) == 0) {
        SyncFolder(FolderOf(targetFsPath));
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP) {
        NoteFileProblem(targetFsPath, errno);
        return false;
    }
    // Without a rename that refuses a taken name: an empty file claims the
    // name first (a kill before the rename leaves it empty, never another's).
    int claim = ::open(targetFsPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
        NoteFileProblem(targetFsPath, errno);
        return false;
    }
    ::close(claim);
    // The name is ours now; the finished file takes it whole.
    if (::rename(tempFsPath.c_str(), targetFsPath.c_str()) != 0) {
        NoteFileProblem(targetFsPath, errno);
        ::unlink(targetFsPath.c_str());
        return false;
    }
    SyncFolder(FolderOf(targetFsPath));
    return true;
}

std::string_view TextUpToNul(std::string_view bytes) {
    auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

bool FileExists(std::string_view cp932Path) {
    auto fsPath = ToFsPath(cp932Path);
    struct stat st {};
    return fsPath && !fsPath->empty() && ::stat(fsPath->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MakeOwnerWritable(std::string_view cp932Path) {
    auto fsPath = ToFsPath(cp932Path);
    struct stat st {};
    if (!fsPath || fsPath->empty() || ::stat(fsPath->c_str(), &st) != 0) return false;
    if (st.st_mode & S_IWUSR) return true;
    return ::chmod(fsPath->c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool CopyFileTo(std::string_view fromCp932, std::string_view toCp932, bool failIfExists) {
    auto from = FsPathOf(fromCp932);
    auto to = from ? FsPathOf(toCp932) : std::nullopt;
    if (!from || !to) return false;
    int in = OpenRegular(*from, O_RDONLY);
    if (in < 0) return false;
    auto content = ReadAllFrom(in, *from);
    struct stat st {};
    bool haveMode = ::fstat(in, &st) == 0;
    ::close(in);
    if (!content) return false;
    if (!failIfExists) return ReplaceFileContents(*to, *content);
    return CreateFileWith(*to, haveMode ? (st.st_mode & 0777) : 0644,
                          [&content](int fd) { return WriteAllTo(fd, *content); });
}

bool CreateFileWith(const std::string& fsPath, mode_t mode, const ContentWriter& writeContent) {
    // Write beside the target, then link it into place: the link fails when
    // the target exists, so an existing page is never overwritten.
    std::string temp;
    int fd = CreateTempBeside(fsPath, mode, temp);
    if (fd < 0) return false;
    // Kept open (and so locked) until it has its name.
    const bool written = writeContent(fd) && ::fsync(fd) == 0;
    if (!written) {
        NoteFileProblem(fsPath, errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (::link(temp.c_str(), fsPath.c_str()) == 0) {
        ::unlink(temp.c_str());
        ::close(fd);                   // flushed already: a failing close loses nothing
        SyncFolder(FolderOf(fsPath));  // the new name outlives a power cut too
        return true;
    }
    const int linkError = errno;
    const bool noHardLinks = linkError == EPERM || linkError == ENOTSUP ||
                             linkError == EOPNOTSUPP || linkError == ENOSYS;
    const bool ok = noHardLinks && RenameIntoAbsentName(temp, fsPath);
    if (!noHardLinks) NoteFileProblem(fsPath, linkError);
    if (!ok) ::unlink(temp.c_str());
    ::close(fd);
    return ok;
}

bool RemoveFile(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    if (fsPath && ::unlink(fsPath->c_str()) == 0) return true;
    if (fsPath) NoteFileProblem(*fsPath, errno);
    return false;
}

std::optional<std::string> ReadFileBytes(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    if (!fsPath) return std::nullopt;
    return ReadRegularFile(*fsPath);
}

}  // namespace qm
