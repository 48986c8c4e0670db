// What the Windows file code shares: wide paths, the C library's descriptor
// over a HANDLE, the lock every holder takes, and errno values for the
// system's errors so callers see the same codes as on POSIX.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_result.h"

namespace qm {

// The wide path for a UTF-8 path with '/' or '\'; a long one (MAX_PATH and
// beyond) absolute with the \\?\ prefix that lifts the limit.
std::optional<std::wstring> WidePathOf(const std::string& utf8);

// The errno value for a Windows error (EIO for the rest).
int ErrnoFromWindowsError(DWORD error);
// Sets errno from GetLastError(); returns the value.
int SetErrnoFromLastError();

// A file opened with every kind of sharing (others may read it, and it may
// be renamed over while open), as the C library's descriptor; -1 with errno
// on failure. `disposition` as CreateFileW takes it.
int OpenShared(const std::wstring& path, DWORD access, DWORD disposition);

HANDLE HandleOf(int fd);

// A new, empty temporary file beside `target`, named ".NAME.XXXXXX" as on
// POSIX (the leftover sweep knows the form), open for reading and writing
// and locked while it is open, so a clean-up tells it from a killed run's;
// its path in `tempPath`.
FileResult<int> CreateTempBeside(const std::string& target, std::string& tempPath);

// Gives the written temporary `fd` at `temp` the name `target` (replacing
// what is there only with `replace`) and closes it; on failure removes it.
// It is moved while still open, and so locked; a system that will not move
// it so gets it closed first. False with errno set.
bool MoveTempIntoPlace(int fd, const std::string& temp, const std::string& target, bool replace);

// Gives the finished file `temp` the name `target`, replacing what is there,
// written through to the disk. A target still open elsewhere (every file here
// is opened with delete sharing) is replaced through ReplaceFileW, which
// takes such a file where a plain move will not. False with errno set.
bool ReplaceNamedFile(const std::wstring& temp, const std::wstring& target);

// The lock every holder of a file takes: one byte far past any end, so
// locking never stands in the way of reading or writing the file itself
// (Windows locks forbid both to everyone else in the range they cover).
bool LockWholeFile(int fd);

// The volume and the file index of an open file: which file it is.
std::optional<std::pair<DWORD, ULONGLONG>> FileIdentityOf(HANDLE handle);

}  // namespace qm
