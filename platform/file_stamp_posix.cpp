#include <sys/stat.h>

#include "platform/file_stamp.h"
#include "platform/path_text.h"

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

}  // namespace

std::optional<FileStamp> StampOfFile(std::string_view cp932Path) {
    const auto fsPath = ToFsPath(cp932Path);
    struct stat st {};
    if (!fsPath || fsPath->empty() || ::stat(fsPath->c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
}

std::optional<FileStamp> StampOfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return StampOf(st);
}

}  // namespace qm
