#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/path_text.h"

namespace qm {

namespace {

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

std::optional<std::string> ReadAllFrom(int fd) {
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    return out;
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

// The folder a file sits in, "." for a bare name.
std::string FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path().string() : std::string(".");
}

std::optional<std::string> FsPathOf(std::string_view cp932Path) { return ToFsPath(cp932Path); }

}  // namespace

std::optional<LockedFile> LockedFile::Open(std::string_view cp932Path, Mode mode) {
    auto fsPath = FsPathOf(cp932Path);
    if (!fsPath || fsPath->empty()) return std::nullopt;
    int flags = O_RDWR | O_CLOEXEC | (mode == Mode::CreateIfMissing ? O_CREAT : 0);
    int fd = ::open(fsPath->c_str(), flags, 0666);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return LockedFile(fd, *fsPath);
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

std::optional<std::string> LockedFile::ReadAll() const { return ReadAllFrom(fd_); }

bool LockedFile::Replace(std::string_view content) const {
    return ReplaceFileContents(fsPath_, content);
}

bool ReplaceFileContents(const std::string& fsPath, std::string_view content) {
    const std::string target = ResolveWriteTarget(fsPath);
    std::filesystem::path targetPath(target);
    const std::string folder = FolderOf(targetPath);

    mode_t mode = 0;
    struct stat st {};
    bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = folder + "/." + targetPath.filename().string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAllTo(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here cannot undo the write.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::string_view TextUpToNul(std::string_view bytes) {
    auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

bool FileExists(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    struct stat st {};
    return fsPath && !fsPath->empty() && ::stat(fsPath->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MakeOwnerWritable(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    struct stat st {};
    if (!fsPath || fsPath->empty() || ::stat(fsPath->c_str(), &st) != 0) return false;
    if (st.st_mode & S_IWUSR) return true;
    return ::chmod(fsPath->c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool CopyFileTo(std::string_view fromCp932, std::string_view toCp932, bool failIfExists) {
    auto from = FsPathOf(fromCp932);
    auto to = FsPathOf(toCp932);
    if (!from || !to || from->empty() || to->empty()) return false;
    int in = ::open(from->c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    auto content = ReadAllFrom(in);
    struct stat st {};
    bool haveMode = ::fstat(in, &st) == 0;
    ::close(in);
    if (!content) return false;
    if (!failIfExists) return ReplaceFileContents(*to, *content);

    // Write beside the target, then link it into place: the link fails when
    // the target exists, so an existing page is never overwritten.
    std::filesystem::path targetPath(*to);
    const std::string folder = FolderOf(targetPath);
    std::string temp = folder + "/." + targetPath.filename().string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    mode_t mode = haveMode ? (st.st_mode & 0777) : 0644;
    bool ok = WriteAllTo(fd, *content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::link(temp.c_str(), to->c_str()) == 0;
    ::unlink(temp.c_str());
    return ok;
}

bool RemoveFile(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    return fsPath && !fsPath->empty() && ::unlink(fsPath->c_str()) == 0;
}

std::optional<std::string> ReadFileBytes(std::string_view cp932Path) {
    auto fsPath = FsPathOf(cp932Path);
    if (!fsPath || fsPath->empty()) return std::nullopt;
    int fd = ::open(fsPath->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto content = ReadAllFrom(fd);
    ::close(fd);
    return content;
}

}  // namespace qm
