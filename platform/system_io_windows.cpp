#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <string_view>

#include "platform/files.h"
#include "platform/system_io.h"
#include "platform/wide_text_windows.h"
#include "platform/windows_files.h"

namespace qm {

std::optional<std::wstring> WidePathOf(const std::string& utf8) {
    auto wide = WideFromUtf8(utf8);
    if (!wide) return std::nullopt;
    for (wchar_t& c : *wide) {
        if (c == L'/') c = L'\\';
    }
    if (wide->size() < MAX_PATH - 12 || wide->starts_with(L"\\\\?\\")) return wide;
    const DWORD size = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
    full.resize(length);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

int ErrnoFromWindowsError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EWOULDBLOCK;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return ENOTSUP;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

int SetErrnoFromLastError() {
    errno = ErrnoFromWindowsError(::GetLastError());
    return errno;
}

int OpenShared(const std::wstring& path, DWORD access, DWORD disposition) {
    HANDLE handle =
        ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A folder cannot be opened as a file; say so as POSIX would.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = EISDIR;
        } else {
            SetErrnoFromLastError();
        }
        return -1;
    }
    const int flags = _O_BINARY | ((access & GENERIC_WRITE) ? _O_RDWR : _O_RDONLY);
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

bool ReplaceNamedFile(const std::wstring& temp, const std::wstring& target) {
    // A folder at the name is never replaced by a file; say so as POSIX would.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return false;
    }
    if (::MoveFileExW(temp.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
        ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
        return true;
    }
    errno = ErrnoFromWindowsError(error);
    return false;
}

bool LockWholeFile(int fd) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    if (::LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &at)) {
        return true;
    }
    SetErrnoFromLastError();
    return false;
}

std::optional<std::pair<DWORD, ULONGLONG>> FileIdentityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return std::pair{info.dwVolumeSerialNumber,
                     (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::int64_t ReadAt(int fd, char* data, std::size_t size, std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(HandleOf(fd), data, want, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
        SetErrnoFromLastError();
        return -1;
    }
    return read;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    HANDLE handle = HandleOf(fd);
    while (size > 0) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::WriteFile(handle, data, want, &written, nullptr)) {
            SetErrnoFromLastError();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

std::optional<std::uint64_t> RegularFileSize(int fd) {
    HANDLE handle = HandleOf(fd);
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
        errno = EINVAL;
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<mode_t> PermissionsOf(int fd) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(HandleOf(fd), &info)) {
        SetErrnoFromLastError();
        return std::nullopt;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0644;
}

void StartWriteBack(int) {}

bool KernelCopySaves(int) { return false; }

std::int64_t KernelCopy(int, std::uint64_t&, int, std::size_t) { return 0; }

bool LinkFile(const NativePath& from, const NativePath& to) {
    const auto fromWide = WidePathOf(from.str());
    const auto toWide = WidePathOf(to.str());
    if (!fromWide || !toWide) {
        errno = ENOENT;
        return false;
    }
    if (::CreateHardLinkW(toWide->c_str(), fromWide->c_str(), nullptr)) return true;
    SetErrnoFromLastError();
    return false;
}

FileResult<int> OpenReadOnlyRegular(const NativePath& path) {
    const auto wide = WidePathOf(path.str());
    if (!wide) return Refusal(path.str(), "the name is not valid UTF-8");
    const int fd = OpenShared(*wide, GENERIC_READ, OPEN_EXISTING);
    if (fd < 0) return SystemProblem(path.str(), errno);
    const auto size = RegularFileSize(fd);
    if (!size || *size > kMaxReadBytes) {
        ::_close(fd);
        return SystemProblem(path.str(), size ? EFBIG : EINVAL);
    }
    return fd;
}

void CloseDescriptor(int fd) { ::_close(fd); }

int TryLockFile(const NativePath& path) {
    const auto wide = WidePathOf(path.str());
    if (!wide) {
        errno = ENOENT;
        return -1;
    }
    const int fd = OpenShared(*wide, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (fd < 0) return -1;
    if (!RegularFileSize(fd) || !LockWholeFile(fd)) {
        const int error = errno;
        ::_close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

const char* FindBytes(const char* haystack, std::size_t size, std::string_view needle) {
    const auto at = std::string_view(haystack, size).find(needle);
    return at == std::string_view::npos ? nullptr : haystack + at;
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    const auto pattern = WidePathOf(folder + "*");
    if (!pattern) return names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(Utf8FromWide(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

bool RemoveIfUnowned(const std::string& path) {
    const auto wide = WidePathOf(path);
    if (!wide) return false;
    // The name itself (a link is not followed), removed when this handle closes.
    HANDLE handle = ::CreateFileW(wide->c_str(), GENERIC_READ | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_RDONLY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD notRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    FILE_DISPOSITION_INFO remove{TRUE};
    const bool removed =
        ::GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & notRegular) == 0 &&
        LockWholeFile(fd) &&
        ::SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove);
    ::_close(fd);
    return removed;
}

}  // namespace qm
