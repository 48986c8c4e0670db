#include "platform/stream_replace.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/files.h"

namespace qm {

namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes a piece of a long copy and, every few megabytes, asks the system to
// start putting what is written so far on disk: the disk works while the rest
// is copied, and the flush at the end waits for less. Only a hint: the flush
// still makes the file durable, and a system that does not take it loses
// nothing.
class WriteBehind {
  public:
    explicit WriteBehind(int out) : out_(out) {}
    bool Write(const char* data, std::size_t size) {
        if (!WriteAll(out_, data, size)) return false;
        unstarted_ += size;
        if (unstarted_ >= kStartEvery) {
            ::sync_file_range(out_, 0, 0, SYNC_FILE_RANGE_WRITE);
            unstarted_ = 0;
        }
        return true;
    }

  private:
    static constexpr std::size_t kStartEvery = std::size_t{8} << 20;
    int out_;
    std::size_t unstarted_ = 0;
};

// Reads exactly `size` bytes at `at`; false when reading fails or the file
// ends first.
bool ReadFull(int fd, char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// File systems on which copy_file_range avoids copying the bytes here:
// shared blocks (btrfs, XFS, OCFS2, bcachefs, ZFS) or a copy made by the
// server (NFS, SMB, Ceph).
bool KernelCopySaves(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case BTRFS_SUPER_MAGIC:
        case XFS_SUPER_MAGIC:
        case NFS_SUPER_MAGIC:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
        case 0x7461636fUL:  // OCFS2
        case 0xca451a4eUL:  // bcachefs
        case 0x2fc12fc1UL:  // ZFS
        case 0x00c36400UL:  // Ceph
            return true;
        default:
            return false;
    }
}

// Errors by which copy_file_range says "not here" (another file system, an
// old kernel, a file system without it) rather than "the copy failed".
bool KernelCopyRefused(int error) {
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP ||
           error == ENOTSUP || error == EBADF || error == ETXTBSY || error == EPERM;
}

// The buffer every read here goes through, kept from one read to the next:
// a fresh megabyte would cost a page fault for every 4 KiB the kernel fills,
// more than the copy itself. It is only a reused allocation: every read
// fills what it then uses, so nothing read earlier can reach a later result.
// Its contents are never zeroed; it grows to the largest size asked for and
// is not shared between threads.
class ReadBuffer {
  public:
    // `chunk` bytes for one read, no more than `wanted` nor `most`, with
    // `extra` bytes in front for what a caller carries from one read to the
    // next; `pieces` buffers of that size side by side.
    ReadBuffer(std::uint64_t wanted, std::size_t most, std::size_t extra = 0,
               std::size_t pieces = 1)
        : chunk_(static_cast<std::size_t>(
              std::clamp<std::uint64_t>(wanted, 1, std::max<std::size_t>(most, 1)))),
          stride_(extra + chunk_) {
        thread_local std::unique_ptr<char[]> bytes;
        thread_local std::size_t capacity = 0;
        const std::size_t size = stride_ * pieces;
        if (size > capacity) {
            bytes.reset();
            bytes = std::make_unique_for_overwrite<char[]>(size);
            capacity = size;
        }
        data_ = bytes.get();
    }
    char* data(std::size_t piece = 0) { return data_ + piece * stride_; }
    std::size_t chunk() const { return chunk_; }

  private:
    std::size_t chunk_;
    std::size_t stride_;
    char* data_ = nullptr;
};

// What a file can still give from `from`, one byte more so that the read
// finding its end fits as well; a file whose size is unknown gets `most`.
std::uint64_t BytesLeft(int fd, std::uint64_t from) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return UINT64_MAX;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    return (size > from ? size - from : 0) + 1;
}

bool ReadWriteCopy(int in, off_t from, std::uint64_t length, int out, std::size_t bufferSize) {
    ReadBuffer buffer(length, bufferSize);
    WriteBehind writer(out);
    while (length > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.chunk()));
        const ssize_t n = ::pread(in, buffer.data(), want, from);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;  // the file is shorter than it was
        if (!writer.Write(buffer.data(), static_cast<std::size_t>(n))) return false;
        from += n;
        length -= static_cast<std::uint64_t>(n);
    }
    return true;
}

}  // namespace

std::optional<MarkerSearch> FindMarkerInText(int fd, std::string_view marker,
                                             const StreamOptions& options) {
    MarkerSearch result;
    // The last marker.size() - 1 bytes of one piece are kept in front of the
    // next, so a marker cut by the buffer's edge is still found.
    const std::size_t keepMost = marker.empty() ? 0 : marker.size() - 1;
    ReadBuffer buffer(BytesLeft(fd, 0), options.bufferSize, keepMost);
    // The marker of a diary sits near the top: the first read is short, and
    // each next one twice as long, up to the buffer.
    std::size_t want = std::min<std::size_t>(buffer.chunk(), 64 * 1024);
    std::size_t kept = 0;
    std::uint64_t offset = 0;  // file offset of the byte after `kept`
    for (;; want = std::min(buffer.chunk(), want * 2)) {
        const ssize_t n = ::pread(fd, buffer.data() + kept, want, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) {
            result.textEnd = offset;
            return result;
        }
        const char* fresh = buffer.data() + kept;
        const auto* nul =
            static_cast<const char*>(std::memchr(fresh, '\0', static_cast<std::size_t>(n)));
        const std::size_t freshText =
            nul ? static_cast<std::size_t>(nul - fresh) : static_cast<std::size_t>(n);
        const std::size_t region = kept + freshText;
        if (!marker.empty()) {
            const auto* hit = static_cast<const char*>(
                ::memmem(buffer.data(), region, marker.data(), marker.size()));
            if (hit) {
                result.found = true;
                result.markerAt = offset - kept + static_cast<std::uint64_t>(hit - buffer.data());
                return result;
            }
        }
        if (nul) {
            result.textEnd = offset + freshText;
            return result;
        }
        kept = std::min(keepMost, region);
        std::memmove(buffer.data(), buffer.data() + region - kept, kept);
        offset += static_cast<std::uint64_t>(n);
    }
}

bool CopyFileRange(int in, std::uint64_t from, std::uint64_t length, int out,
                   const StreamOptions& options) {
    auto inOffset = static_cast<off_t>(from);
    const bool kernelCopy = options.copy == CopyMethod::Kernel ||
                            (options.copy == CopyMethod::Chosen && KernelCopySaves(in));
    if (kernelCopy) {
        while (length > 0) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(length, std::uint64_t{1} << 30));
            const ssize_t n = ::copy_file_range(in, &inOffset, out, nullptr, want, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && !KernelCopyRefused(errno)) return false;
            // Refused, or nothing copied (some file systems say so for
            // "cannot" as well as at the end): reading tells which.
            if (n <= 0) break;
            length -= static_cast<std::uint64_t>(n);
        }
    }
    return length == 0 || ReadWriteCopy(in, inOffset, length, out, options.bufferSize);
}

bool CopyTextFrom(int in, std::uint64_t from, int out, const StreamOptions& options) {
    ReadBuffer buffer(BytesLeft(in, from), options.bufferSize);
    WriteBehind writer(out);
    for (;;) {
        const ssize_t n = ::pread(in, buffer.data(), buffer.chunk(), static_cast<off_t>(from));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        const auto* nul =
            static_cast<const char*>(std::memchr(buffer.data(), '\0', static_cast<std::size_t>(n)));
        const std::size_t text =
            nul ? static_cast<std::size_t>(nul - buffer.data()) : static_cast<std::size_t>(n);
        if (!writer.Write(buffer.data(), text)) return false;
        if (nul) return true;
        from += static_cast<std::uint64_t>(n);
    }
}

bool WriteInsertion(int in, const MarkerSearch& at, std::size_t markerSize, std::string_view insert,
                    int out, const StreamOptions& options) {
    return at.found && CopyFileRange(in, 0, at.markerAt, out, options) &&
           WriteAll(out, insert.data(), insert.size()) &&
           CopyTextFrom(in, at.markerAt + markerSize, out, options);
}

FileStatus ReplaceWithInsertion(LockedFile& file, const MarkerSearch& at, std::size_t markerSize,
                                std::string_view insert, const StreamOptions& options) {
    const int in = file.descriptor();
    return file.ReplaceWith(
        [&](int out) { return WriteInsertion(in, at, markerSize, insert, out, options); });
}

FileStatus WriteInsertionTo(int source, const MarkerSearch& at, std::size_t markerSize,
                            std::string_view insert, const NativePath& target, WriteTarget how,
                            const StreamOptions& options) {
    auto write = [&](int out) {
        return WriteInsertion(source, at, markerSize, insert, out, options);
    };
    if (how == WriteTarget::Replace) return ReplaceFileWith(target, write);
    struct stat st {};
    const mode_t mode = ::fstat(source, &st) == 0 ? (st.st_mode & 0777) : 0644;
    return CreateFileWith(target, mode, write);
}

FileStatus ReplaceWithCopyOf(const NativePath& fromPath, const NativePath& to,
                             const StreamOptions& options) {
    auto from = ReadOnlyFile::Open(fromPath);
    if (!from) return from.problem();
    struct stat st {};
    if (::fstat(from->descriptor(), &st) != 0) return SystemProblem(to.str(), errno);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    return ReplaceFileWith(
        to, [&](int out) { return CopyFileRange(from->descriptor(), 0, size, out, options); });
}

FileStatus LinkOrCopyFile(const NativePath& from, const NativePath& to,
                          const StreamOptions& options) {
    if (::link(from.c_str(), to.c_str()) == 0) return {};
    if (errno == EEXIST) return SystemProblem(to.str(), errno);
    auto source = ReadOnlyFile::Open(from);
    if (!source) return source.problem();
    struct stat st {};
    if (::fstat(source->descriptor(), &st) != 0) return SystemProblem(from.str(), errno);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    return CreateFileWith(to, st.st_mode & 0777, [&](int out) {
        return CopyFileRange(source->descriptor(), 0, size, out, options);
    });
}

std::optional<bool> SameContent(int a, int b, const StreamOptions& options) {
    struct stat sa {};
    struct stat sb {};
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0) return std::nullopt;
    if (sa.st_size != sb.st_size) return false;
    ReadBuffer buffers(static_cast<std::uint64_t>(sa.st_size), options.bufferSize, 0, 2);
    const std::size_t chunk = buffers.chunk();
    char* bufferA = buffers.data(0);
    char* bufferB = buffers.data(1);
    for (off_t at = 0; at < sa.st_size;) {
        const auto want =
            static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(chunk), sa.st_size - at));
        if (!ReadFull(a, bufferA, want, at) || !ReadFull(b, bufferB, want, at)) {
            return std::nullopt;
        }
        if (std::memcmp(bufferA, bufferB, want) != 0) return false;
        at += static_cast<off_t>(want);
    }
    return true;
}

FileResult<ReadOnlyFile> ReadOnlyFile::Open(const NativePath& path) {
    // Never waits on a FIFO, as no file function here does.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return SystemProblem(path.str(), errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
        ::close(fd);
        return SystemProblem(path.str(), S_ISREG(st.st_mode) ? EFBIG : EINVAL);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return ReadOnlyFile(fd);
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qm
