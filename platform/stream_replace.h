// Pages rewritten piece by piece. A diary page grows with every entry and
// may run to hundreds of megabytes; an insertion only needs the place of the
// marker and the end of the text, so the page is read once through a small
// buffer, up to the marker and then on to its first NUL as the rest is
// copied, and the new file is built from the old one with the inserted text
// in between. Memory stays the same whatever the
// page's size, and the replace keeps the guarantees of files.h: a temporary
// file, flushed, renamed over the old one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

class LockedFile;

// Where the first marker lies in the text of a file (its bytes up to the first NUL).
struct MarkerSearch {
    bool found = false;
    std::uint64_t markerAt = 0;  // offset of the first marker, when found
    std::uint64_t textEnd = 0;   // without a marker: offset of the first NUL, or the file's size
};

enum class CopyMethod {
    // copy_file_range on file systems where the kernel's copy shares the
    // blocks or copies on the server (btrfs, XFS, NFS, SMB and the like);
    // elsewhere (ext4, tmpfs) it is a splice through a small pipe, dearer
    // than reading and writing through one large buffer, which is used there.
    Chosen,
    Kernel,     // copy_file_range wherever the kernel takes it
    ReadWrite,  // reading and writing throughout
};

struct StreamOptions {
    std::size_t bufferSize = std::size_t{1} << 20;
    CopyMethod copy = CopyMethod::Chosen;
};

// Reads the file from its start up to the first `marker`, or without one up
// to the end of its text. std::nullopt when reading fails. An empty marker is
// never found.
std::optional<MarkerSearch> FindMarkerInText(int fd, std::string_view marker,
                                             const StreamOptions& options = {});

// Copies `length` bytes from offset `from` of `in` to the current position of
// `out`. False when reading or writing fails or `in` ends before `length`.
bool CopyFileRange(int in, std::uint64_t from, std::uint64_t length, int out,
                   const StreamOptions& options = {});

// Copies the bytes of `in` from offset `from` up to its first NUL (or its
// end) to the current position of `out`, looking for the NUL as it goes.
bool CopyTextFrom(int in, std::uint64_t from, int out, const StreamOptions& options = {});

// Writes to `out`, at its current position, what a file holds after an
// insertion: the text of `in` before the marker found at `at`, `insert`, and
// the text after the marker. A NUL that ended the old text, and whatever lay
// behind it, is left out: a page is plain text. The text before the marker is
// copied by the kernel; the rest is read once, in the same pass that finds its end.
bool WriteInsertion(int in, const MarkerSearch& at, std::size_t markerSize, std::string_view insert,
                    int out, const StreamOptions& options = {});

// Replaces the locked file by its own text with `insert` in place of the
// marker found at `at`, safely; `file` then holds the new file, locked.
FileStatus ReplaceWithInsertion(LockedFile& file, const MarkerSearch& at, std::size_t markerSize,
                                std::string_view insert, const StreamOptions& options = {});

enum class WriteTarget {
    Replace,    // the safe replace of files.h; a missing target is created
    CreateNew,  // a new file, failing when the target exists already
};

// Writes the text of `source` with `insert` in place of the marker found at
// `at` to another file. A new file takes the source's permission bits.
FileStatus WriteInsertionTo(int source, const MarkerSearch& at, std::size_t markerSize,
                            std::string_view insert, const NativePath& target, WriteTarget how,
                            const StreamOptions& options = {});

// Replaces `to` by a copy of every byte of `from`, safely, without the bytes
// passing through this program where the kernel can copy them.
FileStatus ReplaceWithCopyOf(const NativePath& from, const NativePath& to,
                             const StreamOptions& options = {});

// Gives the file `from` the second name `to`, which must be free:
// a hard link, so nothing is copied, where the two names share a file system
// that has them; elsewhere a copy of every byte, flushed to the disk.
FileStatus LinkOrCopyFile(const NativePath& from, const NativePath& to,
                          const StreamOptions& options = {});

// Whether two open files hold the same bytes, compared piece by piece;
// std::nullopt when reading fails.
std::optional<bool> SameContent(int a, int b, const StreamOptions& options = {});

// A regular file open for reading only (a prototype page that may be
// read-only), closed when this object goes away. At most kMaxReadBytes, as
// every file the program reads.
class ReadOnlyFile {
  public:
    static FileResult<ReadOnlyFile> Open(const NativePath& path);

    ReadOnlyFile(ReadOnlyFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    int descriptor() const { return fd_; }

  private:
    explicit ReadOnlyFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace qm
