#include <windows.h>

#include "platform/file_stamp.h"
#include "platform/path_text.h"
#include "platform/windows_files.h"

namespace qm {

namespace {

// 100-nanosecond ticks since 1601 to nanoseconds since 1970.
std::int64_t Nanoseconds(LARGE_INTEGER ticks) {
    constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
    return (ticks.QuadPart - kTicksFrom1601To1970) * 100;
}

// The volume and file index stand for the device and inode; the change time
// is the system's own, as on POSIX.
std::optional<FileStamp> StampOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        !::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times)) {
        return std::nullopt;
    }
    return FileStamp{info.dwVolumeSerialNumber,
                     (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                     (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                     Nanoseconds(times.LastWriteTime), Nanoseconds(times.ChangeTime)};
}

}  // namespace

std::optional<FileStamp> StampOfFile(std::string_view cp932Path) {
    const auto fsPath = ToFsPath(cp932Path);
    const auto wide = fsPath && !fsPath->empty() ? WidePathOf(*fsPath) : std::nullopt;
    if (!wide) return std::nullopt;
    HANDLE handle =
        ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    auto stamp = StampOfHandle(handle);
    ::CloseHandle(handle);
    return stamp;
}

std::optional<FileStamp> StampOfDescriptor(int fd) { return StampOfHandle(HandleOf(fd)); }

}  // namespace qm
