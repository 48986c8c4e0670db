// The few calls on open files and folders that differ between POSIX and
// Windows, for the code above them that is the same on both. A descriptor is
// the C library's int on both systems; on Windows it wraps the file's HANDLE.
// A failure leaves its errno value in errno.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

// Up to `size` bytes at `offset`, whatever the descriptor's own position:
// how many were read (0 at the end), or -1.
std::int64_t ReadAt(int fd, char* data, std::size_t size, std::uint64_t offset);

// All of it at the descriptor's position; false on failure.
bool WriteAll(int fd, const char* data, std::size_t size);

// The size of an open regular file; std::nullopt for anything else.
std::optional<std::uint64_t> RegularFileSize(int fd);

// The permission bits of an open file (on Windows: whether it is read-only),
// std::nullopt when unknown.
std::optional<mode_t> PermissionsOf(int fd);

// Asks the system to start writing back what is written so far. A hint only.
void StartWriteBack(int fd);

// Whether the system's own copy between files saves copying the bytes here
// (shared blocks, a copy made by the server).
bool KernelCopySaves(int fd);
// Up to `length` bytes from `in` at `offset` (moved on) to `out` by the
// system: how many (0: the system did not copy, reading tells why), or -1
// when the copy failed.
std::int64_t KernelCopy(int in, std::uint64_t& offset, int out, std::size_t length);

// A second name for a file; false with errno EEXIST when `to` is taken.
bool LinkFile(const NativePath& from, const NativePath& to);

// A regular file of at most kMaxReadBytes open for reading, without waiting
// on a FIFO.
FileResult<int> OpenReadOnlyRegular(const NativePath& path);

void CloseDescriptor(int fd);

// One try at the lock file `path`: opened (made when missing) and locked,
// still under its name. The descriptor, or -1 when busy (errno EWOULDBLOCK)
// or failed.
int TryLockFile(const NativePath& path);

// Where `needle` first occurs in `haystack`, or nullptr.
const char* FindBytes(const char* haystack, std::size_t size, std::string_view needle);

// The names (UTF-8) in a folder, without "." and "..".
std::vector<std::string> NamesInFolder(const std::string& folder);
// Removes `path` when it is a regular file (not a link, not a folder) and
// no live run holds its lock: every temporary is locked by its writer from
// its making to its rename.
bool RemoveIfUnowned(const std::string& path);

}  // namespace qm
