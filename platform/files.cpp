#include "platform/files.h"

#include "platform/system_io.h"

namespace qm {

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) CloseDescriptor(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) CloseDescriptor(fd_);  // closing releases the lock
}

FileStatus LockedFile::Replace(std::string_view content) {
    return ReplaceWith([content](int fd) { return WriteAll(fd, content.data(), content.size()); });
}

FileStatus ReplaceFileContents(const NativePath& path, std::string_view content) {
    return ReplaceFileWith(
        path, [content](int fd) { return WriteAll(fd, content.data(), content.size()); });
}

std::string_view TextUpToNul(std::string_view bytes) {
    auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace qm
