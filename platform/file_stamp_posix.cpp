#include <sys/stat.h>

#include <cerrno>

#include "platform/file_stamp.h"

namespace qm {

namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileStamp StampOf(const struct stat& st) {
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::uint64_t>(st.st_size), Nanoseconds(st.st_mtim),
                     Nanoseconds(st.st_ctim)};
}

FileResult<FileLook> LookFrom(int result, const struct stat& st, const NativePath& path) {
    if (result != 0) return SystemProblem(path.str(), errno);
    const FileKind kind = S_ISREG(st.st_mode)   ? FileKind::Regular
                          : S_ISDIR(st.st_mode) ? FileKind::Folder
                                                : FileKind::Other;
    return FileLook{kind, StampOf(st)};
}

}  // namespace

std::optional<FileStamp> StampOfFile(const NativePath& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
}

std::optional<FileStamp> StampOfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return StampOf(st);
}

FileResult<FileLook> LookAtFile(const NativePath& path) {
    struct stat st {};
    return LookFrom(::stat(path.c_str(), &st), st, path);
}

FileResult<FileLook> LookAtName(const NativePath& path) {
    struct stat st {};
    return LookFrom(::lstat(path.c_str(), &st), st, path);
}

}  // namespace qm
