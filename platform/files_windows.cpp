#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <random>

#include "platform/files.h"
#include "platform/system_io.h"
#include "platform/windows_files.h"

namespace qm {

namespace {

// At most kMaxReadBytes from the start of the file; a file that grows past
// that while it is read is refused as well.
FileResult<std::string> ReadAllFrom(int fd, const std::string& fsPath) {
    std::string out;
    if (const auto size = RegularFileSize(fd); size && *size <= kMaxReadBytes) {
        out.reserve(static_cast<std::size_t>(*size));
    }
    char buffer[65536];
    for (;;) {
        const std::int64_t n = ReadAt(fd, buffer, sizeof buffer, out.size());
        if (n < 0) return SystemProblem(fsPath, errno);
        if (n == 0) return out;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxReadBytes) return SystemProblem(fsPath, EFBIG);
    }
}

FileResult<std::wstring> WideOrRefusal(const std::string& fsPath) {
    auto wide = WidePathOf(fsPath);
    if (!wide) return Refusal(fsPath, "the name is not valid UTF-8");
    return std::move(*wide);
}

// Opens a regular file of at most kMaxReadBytes; anything else fails.
FileResult<int> OpenRegular(const std::string& fsPath, DWORD access, DWORD disposition) {
    const auto wide = WideOrRefusal(fsPath);
    if (!wide) return wide.problem();
    const int fd = OpenShared(*wide, access, disposition);
    if (fd < 0) return SystemProblem(fsPath, errno);
    const auto size = RegularFileSize(fd);
    if (size && *size <= kMaxReadBytes) return fd;
    ::_close(fd);
    if (!size) return Refusal(fsPath, "not a regular file");
    return SystemProblem(fsPath, EFBIG);
}

std::string FolderOf(const std::string& fsPath) {
    const auto slash = fsPath.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : fsPath.substr(0, slash + 1);
}

std::string NameOf(const std::string& fsPath) {
    const auto slash = fsPath.find_last_of("/\\");
    return slash == std::string::npos ? fsPath : fsPath.substr(slash + 1);
}

bool Flush(int fd) {
    if (::FlushFileBuffers(HandleOf(fd))) return true;
    SetErrnoFromLastError();
    return false;
}

// Without `replace` the move refuses a taken name.
bool MoveFile(const std::string& from, const std::string& to, bool replace) {
    const auto fromWide = WidePathOf(from);
    const auto toWide = WidePathOf(to);
    if (!fromWide || !toWide) {
        errno = ENOENT;
        return false;
    }
    if (replace) return ReplaceNamedFile(*fromWide, *toWide);
    if (::MoveFileExW(fromWide->c_str(), toWide->c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFromLastError();
    return false;
}

void DeleteQuietly(const std::string& fsPath) {
    if (const auto wide = WidePathOf(fsPath)) ::DeleteFileW(wide->c_str());
}

bool SameFile(int fd, const std::string& fsPath) {
    const auto wide = WidePathOf(fsPath);
    if (!wide) return false;
    HANDLE named =
        ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    const auto a = FileIdentityOf(named);
    ::CloseHandle(named);
    const auto b = FileIdentityOf(HandleOf(fd));
    return a && b && *a == *b;
}

}  // namespace

FileResult<int> CreateTempBeside(const std::string& target, std::string& tempPath) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::mt19937 random(std::random_device{}() ^ ::GetCurrentProcessId());
    const std::string stem = FolderOf(target) + "." + NameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem;
        for (int i = 0; i < 6; ++i) tempPath += kLetters[random() % (sizeof kLetters - 1)];
        const auto wide = WideOrRefusal(tempPath);
        if (!wide) return wide.problem();
        const int fd = OpenShared(*wide, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
        if (fd >= 0) {
            if (LockWholeFile(fd)) return fd;
            const int error = errno;
            ::_close(fd);
            DeleteQuietly(tempPath);
            return SystemProblem(target, error);
        }
        if (errno != EEXIST) break;
    }
    return SystemProblem(target, errno);
}

bool MoveTempIntoPlace(int fd, const std::string& temp, const std::string& target, bool replace) {
    bool moved = MoveFile(temp, target, replace);
    if (!moved && (errno == EACCES || errno == EWOULDBLOCK)) {
        ::_close(fd);
        fd = -1;
        moved = MoveFile(temp, target, replace);
    }
    const int error = errno;
    if (fd >= 0) ::_close(fd);
    if (!moved) DeleteQuietly(temp);
    errno = error;
    return moved;
}

FileResult<LockedFile> LockedFile::Open(const NativePath& path, Mode mode) {
    const std::string& fsPath = path.str();
    const DWORD disposition = mode == Mode::CreateIfMissing ? OPEN_ALWAYS : OPEN_EXISTING;
    // A holder that replaced the file between our open and our lock has moved
    // on to the new file: the lock we got is on a name that is gone, so try again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        auto fd = OpenRegular(fsPath, GENERIC_READ | GENERIC_WRITE, disposition);
        if (!fd) return fd.problem();
        if (!LockWholeFile(*fd)) {
            const int error = errno;
            ::_close(*fd);
            return SystemProblem(fsPath, error);
        }
        if (SameFile(*fd, fsPath)) return LockedFile(*fd, path);
        ::_close(*fd);
    }
    return SystemProblem(fsPath, EBUSY);
}

FileResult<std::string> LockedFile::ReadAll() const { return ReadAllFrom(fd_, path_.str()); }

FileStatus LockedFile::ReplaceWith(const ContentWriter& writeContent) {
    const std::string& target = path_.str();
    std::string temp;
    auto fd = CreateTempBeside(target, temp);
    if (!fd) return fd.problem();
    // The new file is locked (from its making) before it takes the name, so
    // no one else can lock the page between the rename and our release of
    // the old file.
    bool ok = writeContent(*fd) && Flush(*fd);
    bool renamed = ok && MoveFile(temp, target, /*replace=*/true);
    if (ok && !renamed && (errno == EACCES || errno == EWOULDBLOCK)) {
        // A system that will not rename over a file still open: let go of
        // the old one first. Anyone who locks it meanwhile finds it renamed
        // over and tries again on the new one, which is locked already.
        ::_close(fd_);
        fd_ = -1;
        renamed = MoveFile(temp, target, /*replace=*/true);
        if (!renamed) {
            // The old file stays; hold it again as before, when no one took it.
            const int error = errno;
            auto again = OpenRegular(target, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
            if (again && LockWholeFile(*again)) {
                fd_ = *again;
            } else if (again) {
                ::_close(*again);
            }
            errno = error;
        }
    }
    if (!renamed) {
        const int error = errno;
        ::_close(*fd);
        DeleteQuietly(temp);
        return SystemProblem(target, error);
    }
    if (fd_ >= 0) ::_close(fd_);
    fd_ = *fd;
    return {};
}

FileStatus ReplaceFileWith(const NativePath& path, const ContentWriter& writeContent) {
    const std::string& target = path.str();
    std::string temp;
    auto fd = CreateTempBeside(target, temp);
    if (!fd) return fd.problem();
    if (!writeContent(*fd) || !Flush(*fd)) {
        const int error = errno;
        ::_close(*fd);
        DeleteQuietly(temp);
        return SystemProblem(target, error);
    }
    if (MoveTempIntoPlace(*fd, temp, target, /*replace=*/true)) return {};
    return SystemProblem(target, errno);
}

// A symbolic link is never followed here: a move replaces the name itself.
FileStatus ReplaceFileNotFollowing(const NativePath& path, std::string_view content) {
    return ReplaceFileWith(
        path, [content](int fd) { return WriteAll(fd, content.data(), content.size()); });
}

FileResult<std::string> ReadRegularFile(const NativePath& path) {
    auto fd = OpenRegular(path.str(), GENERIC_READ, OPEN_EXISTING);
    if (!fd) return fd.problem();
    auto content = ReadAllFrom(*fd, path.str());
    ::_close(*fd);
    return content;
}

FileResult<std::string> ReadStandardInput() {
    ::_setmode(0, _O_BINARY);  // the bytes as they come, CR LF and all
    std::string out;
    char buffer[65536];
    for (;;) {
        const int n = ::_read(0, buffer, sizeof buffer);
        if (n < 0) return SystemProblem("-", errno);
        if (n == 0) return out;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxReadBytes) return SystemProblem("-", EFBIG);
    }
}

FileStatus RenameIntoAbsentName(const NativePath& temp, const NativePath& target) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses a taken name.
    if (MoveFile(temp.str(), target.str(), /*replace=*/false)) return {};
    return SystemProblem(target.str(), errno);
}

FileStatus MoveFinishedFileIntoPlace(const NativePath& temp, const NativePath& target) {
    const auto wide = WideOrRefusal(temp.str());
    if (!wide) return wide.problem();
    // Opened for writing, as FlushFileBuffers wants.
    const int fd = OpenShared(*wide, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    if (fd < 0) return SystemProblem(temp.str(), errno);
    if (!Flush(fd)) {
        const int error = errno;
        ::_close(fd);
        return SystemProblem(temp.str(), error);
    }
    if (!MoveTempIntoPlace(fd, temp.str(), target.str(), /*replace=*/true)) {
        return SystemProblem(target.str(), errno);
    }
    return {};
}

bool FileExists(const NativePath& path) {
    const auto wide = path.empty() ? std::nullopt : WidePathOf(path.str());
    if (!wide) return false;
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MakeOwnerWritable(const NativePath& path) {
    const auto wide = path.empty() ? std::nullopt : WidePathOf(path.str());
    if (!wide) return false;
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return true;
    return ::SetFileAttributesW(wide->c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

FileStatus CopyFileTo(const NativePath& from, const NativePath& to, bool failIfExists) {
    auto content = ReadRegularFile(from);
    if (!content) return content.problem();
    if (!failIfExists) return ReplaceFileContents(to, *content);
    return CreateFileWith(
        to, 0644, [&content](int fd) { return WriteAll(fd, content->data(), content->size()); });
}

FileStatus CreateFileWith(const NativePath& path, mode_t mode, const ContentWriter& writeContent) {
    const std::string& fsPath = path.str();
    std::string temp;
    auto fd = CreateTempBeside(fsPath, temp);
    if (!fd) return fd.problem();
    if (!writeContent(*fd) || !Flush(*fd)) {
        const int error = errno;
        ::_close(*fd);
        DeleteQuietly(temp);
        return SystemProblem(fsPath, error);
    }
    // Written beside the target, then moved to a name that must be free: an
    // existing page is never overwritten.
    if (!MoveTempIntoPlace(*fd, temp, fsPath, /*replace=*/false)) {
        return SystemProblem(fsPath, errno);
    }
    if ((mode & 0200) == 0) {
        if (const auto wide = WidePathOf(fsPath)) {
            ::SetFileAttributesW(wide->c_str(), FILE_ATTRIBUTE_READONLY);
        }
    }
    return {};
}

FileStatus RemoveFile(const NativePath& path) {
    const auto wide = WideOrRefusal(path.str());
    if (!wide) return wide.problem();
    if (!::DeleteFileW(wide->c_str())) return SystemProblem(path.str(), SetErrnoFromLastError());
    return {};
}

}  // namespace qm
