#include <windows.h>

#include "platform/file_stamp.h"
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

// `flags` beyond backup semantics (which lets a folder be opened):
// FILE_FLAG_OPEN_REPARSE_POINT looks at a link itself.
FileResult<FileLook> Look(const NativePath& path, DWORD flags) {
    const auto wide = WidePathOf(path.str());
    if (!wide) return Refusal(path.str(), "the name is not valid UTF-8");
    HANDLE handle =
        ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return SystemProblem(path.str(), SetErrnoFromLastError());
    const auto stamp = StampOfHandle(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info);
    const DWORD type = ::GetFileType(handle);
    const int error = known && stamp ? 0 : SetErrnoFromLastError();
    ::CloseHandle(handle);
    if (error != 0) return SystemProblem(path.str(), error);
    FileKind kind = FileKind::Other;
    if ((flags & FILE_FLAG_OPEN_REPARSE_POINT) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            kind = FileKind::Folder;
        } else if (type == FILE_TYPE_DISK) {
            kind = FileKind::Regular;
        }
    }
    return FileLook{kind, *stamp};
}

}  // namespace

std::optional<FileStamp> StampOfFile(const NativePath& path) {
    const auto wide = path.empty() ? std::nullopt : WidePathOf(path.str());
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

FileResult<FileLook> LookAtFile(const NativePath& path) { return Look(path, 0); }

FileResult<FileLook> LookAtName(const NativePath& path) {
    return Look(path, FILE_FLAG_OPEN_REPARSE_POINT);
}

}  // namespace qm
