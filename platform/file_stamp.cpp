#include "platform/file_stamp.h"

#include <sys/stat.h>

#include <charconv>

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

template <typename Number>
bool ParseNumber(std::string_view& text, Number& number, bool last) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (last) return text.empty();
    if (text.empty() || text.front() != ':') return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::string FileStamp::Text() const {
    return std::to_string(device) + ":" + std::to_string(inode) + ":" + std::to_string(size) + ":" +
           std::to_string(modifiedNs) + ":" + std::to_string(changedNs);
}

std::optional<FileStamp> FileStamp::FromText(std::string_view text) {
    FileStamp stamp;
    if (ParseNumber(text, stamp.device, false) && ParseNumber(text, stamp.inode, false) &&
        ParseNumber(text, stamp.size, false) && ParseNumber(text, stamp.modifiedNs, false) &&
        ParseNumber(text, stamp.changedNs, true)) {
        return stamp;
    }
    return std::nullopt;
}

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

}  // namespace qm
