// Whole-file reading and writing with the guarantees a diary needs: a page is
// never rewritten in place, so a failure at any point leaves the old file whole.
// Every file is named by its NativePath, the file system's own name for it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

// No file larger than this is ever read whole: a page, a template or a
// setting of that size is a mistake (or a device), not a diary.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

// Writes a file's new content into the descriptor of the temporary file that
// will take its name; false abandons the write.
using ContentWriter = std::function<bool(int fd)>;

// An open file held with an exclusive advisory lock ("without sharing"). A
// second holder anywhere (another Quillmaker) makes Open fail. The lock holds
// across Replace: the new file is locked before it takes the old one's name,
// and an Open that locked a file just replaced tries again on the new one.
// Only regular files are opened; nothing waits on a FIFO or a device.
class LockedFile {
  public:
    enum class Mode { OpenExisting, CreateIfMissing };

    static FileResult<LockedFile> Open(const NativePath& path, Mode mode);

    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile();

    // The whole content (at most kMaxReadBytes).
    FileResult<std::string> ReadAll() const;

    // Replaces the content through a temporary file and a rename, keeping the
    // permission bits; from then on this object holds the new file, locked.
    FileStatus Replace(std::string_view content);
    // The same with the content written by `writeContent`, which may read
    // the old file through descriptor() meanwhile.
    FileStatus ReplaceWith(const ContentWriter& writeContent);

    const NativePath& path() const { return path_; }
    // The open file, for reading it piece by piece while the lock is held.
    int descriptor() const { return fd_; }

  private:
    LockedFile(int fd, NativePath path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    NativePath path_;
};

// Writes `content` to `path` safely: a temporary file in the same
// folder, flushed, then renamed over the old one. A symbolic link is written
// through to its target; an existing file keeps its permission bits.
FileStatus ReplaceFileContents(const NativePath& path, std::string_view content);
// The same with the content written by `writeContent`.
FileStatus ReplaceFileWith(const NativePath& path, const ContentWriter& writeContent);

// As ReplaceFileContents, but the name itself gets the new file: a symbolic
// link there is replaced, its target is never written.
FileStatus ReplaceFileNotFollowing(const NativePath& path, std::string_view content);

// Makes the file `path` with the content written by `writeContent` and the
// permission bits `mode`, through a temporary file that takes the name only
// while no file has it: an existing file is never overwritten.
FileStatus CreateFileWith(const NativePath& path, mode_t mode, const ContentWriter& writeContent);

// Whole regular files only, at most kMaxReadBytes, never waiting on a FIFO:
// anything else fails.
FileResult<std::string> ReadRegularFile(const NativePath& path);
// Standard input to its end, at most kMaxReadBytes.
FileResult<std::string> ReadStandardInput();

// Gives the finished temporary file `temp` the name `target`
// unless that name is taken, in which case nothing changes and the temporary
// file stays. For file systems without hard links (vfat, exFAT, many network
// shares): a rename that refuses a taken name, or where there is none, an
// exclusive create that claims the name before the rename.
FileStatus RenameIntoAbsentName(const NativePath& temp, const NativePath& target);

// Gives the finished file `temp`, flushed to disk, the name `target`, where
// it replaces any file of that name; the permission bits of the file it
// replaces stay. On failure `temp` may stay: the caller removes it.
FileStatus MoveFinishedFileIntoPlace(const NativePath& temp, const NativePath& target);

// Text up to the first NUL byte: what a page "is".
std::string_view TextUpToNul(std::string_view bytes);

bool FileExists(const NativePath& path);
// "Attributes normal": give the owner write permission. False when the file is missing.
bool MakeOwnerWritable(const NativePath& path);
// Copies a regular file; with failIfExists an existing target is left alone
// and the copy fails.
FileStatus CopyFileTo(const NativePath& from, const NativePath& to, bool failIfExists);
FileStatus RemoveFile(const NativePath& path);

}  // namespace qm
