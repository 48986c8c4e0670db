// Whole-file reading and writing with the guarantees a diary needs: a page is
// never rewritten in place, so a failure at any point leaves the old file whole.
// Every path here is code page 932 bytes as stored in the settings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// An open file held with an exclusive advisory lock ("without sharing"). A
// second holder anywhere (another Quillmaker) makes Open fail.
class LockedFile {
  public:
    enum class Mode { OpenExisting, CreateIfMissing };

    static std::optional<LockedFile> Open(std::string_view cp932Path, Mode mode);

    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile();

    // The whole content; std::nullopt when reading fails.
    std::optional<std::string> ReadAll() const;

    // Replaces the content through a temporary file and a rename, keeping the
    // permission bits; the lock stays held until this object goes away.
    bool Replace(std::string_view content) const;

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

// The same safe replace with the new content written by `writeContent` into
// the temporary file's descriptor; false from it abandons the replace.
bool ReplaceFileWith(const std::string& fsPath, const std::function<bool(int fd)>& writeContent);

// Text up to the first NUL byte: what a page "is".
std::string_view TextUpToNul(std::string_view bytes);

bool FileExists(std::string_view cp932Path);
// "Attributes normal": give the owner write permission. False when the file is missing.
bool MakeOwnerWritable(std::string_view cp932Path);
// Copies a file; with failIfExists an existing target is left alone and the copy fails.
bool CopyFileTo(std::string_view fromCp932, std::string_view toCp932, bool failIfExists);
bool RemoveFile(std::string_view cp932Path);
std::optional<std::string> ReadFileBytes(std::string_view cp932Path);

}  // namespace qm
