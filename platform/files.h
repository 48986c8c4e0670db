// Whole-file reading and writing with the guarantees a diary needs: a page is
// never rewritten in place, so a failure at any point leaves the old file whole.
// Every path here is code page 932 bytes as stored in the settings.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// No file larger than this is ever read whole: a page, a template or a
// setting of that size is a mistake (or a device), not a diary.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

// Why the last file function that failed on this thread failed: the file and
// the system's answer. Like errno it means something only right after a failure.
struct FileProblem {
    std::string fsPath;  // UTF-8, as the file system names it
    int code = 0;        // errno; 0 for a refusal of our own (see `answer`)
    std::string answer;  // strerror's text, or why the file was refused
};
const FileProblem& LastFileProblem();
// Records the failure `code` (an errno) of a system call on `fsPath`.
void NoteFileProblem(const std::string& fsPath, int code);

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

    static std::optional<LockedFile> Open(std::string_view cp932Path, Mode mode);

    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile();

    // The whole content (at most kMaxReadBytes); std::nullopt when reading fails.
    std::optional<std::string> ReadAll() const;

    // Replaces the content through a temporary file and a rename, keeping the
    // permission bits; from then on this object holds the new file, locked.
    bool Replace(std::string_view content);
    // The same with the content written by `writeContent`, which may read
    // the old file through descriptor() meanwhile.
    bool ReplaceWith(const ContentWriter& writeContent);

    const std::string& fsPath() const { return fsPath_; }
    // The open file, for reading it piece by piece while the lock is held.
    int descriptor() const { return fd_; }

  private:
    LockedFile(int fd, std::string fsPath) : fd_(fd), fsPath_(std::move(fsPath)) {}
    int fd_ = -1;
    std::string fsPath_;
};

// Writes `content` to `fsPath` (UTF-8) safely: a temporary file in the same
// folder, flushed, then renamed over the old one. A symbolic link is written
// through to its target; an existing file keeps its permission bits.
bool ReplaceFileContents(const std::string& fsPath, std::string_view content);
// The same with the content written by `writeContent`.
bool ReplaceFileWith(const std::string& fsPath, const ContentWriter& writeContent);

// As ReplaceFileContents, but the name itself gets the new file: a symbolic
// link there is replaced, its target is never written.
bool ReplaceFileNotFollowing(const std::string& fsPath, std::string_view content);

// Makes the file `fsPath` with the content written by `writeContent` and the
// permission bits `mode`, through a temporary file that takes the name only
// while no file has it: an existing file is never overwritten.
bool CreateFileWith(const std::string& fsPath, mode_t mode, const ContentWriter& writeContent);

// Whole regular files only, at most kMaxReadBytes, never waiting on a FIFO:
// anything else fails (see LastFileProblem).
std::optional<std::string> ReadRegularFile(const std::string& fsPath);
// Standard input to its end, at most kMaxReadBytes.
std::optional<std::string> ReadStandardInput();

// Gives the finished temporary file `tempFsPath` the name `targetFsPath`
// unless that name is taken, in which case nothing changes and the temporary
// file stays. For file systems without hard links (vfat, exFAT, many network
// shares): a rename that refuses a taken name, or where there is none, an
// exclusive create that claims the name before the rename.
bool RenameIntoAbsentName(const std::string& tempFsPath, const std::string& targetFsPath);

// Text up to the first NUL byte: what a page "is".
std::string_view TextUpToNul(std::string_view bytes);

bool FileExists(std::string_view cp932Path);
// "Attributes normal": give the owner write permission. False when the file is missing.
bool MakeOwnerWritable(std::string_view cp932Path);
// Copies a regular file; with failIfExists an existing target is left alone
// and the copy fails.
bool CopyFileTo(std::string_view fromCp932, std::string_view toCp932, bool failIfExists);
bool RemoveFile(std::string_view cp932Path);
// ReadRegularFile on a code page 932 path.
std::optional<std::string> ReadFileBytes(std::string_view cp932Path);

}  // namespace qm
