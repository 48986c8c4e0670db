#include "platform/stream_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/system_io.h"

namespace qm {

namespace {

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
            StartWriteBack(out_);
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
bool ReadFull(int fd, char* data, std::size_t size, std::uint64_t at) {
    while (size > 0) {
        const std::int64_t n = ReadAt(fd, data, size, at);
        if (n <= 0) return false;
        data += n;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
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
    const auto size = RegularFileSize(fd);
    if (!size) return UINT64_MAX;
    return (*size > from ? *size - from : 0) + 1;
}

bool ReadWriteCopy(int in, std::uint64_t from, std::uint64_t length, int out,
                   std::size_t bufferSize) {
    ReadBuffer buffer(length, bufferSize);
    WriteBehind writer(out);
    while (length > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.chunk()));
        const std::int64_t n = ReadAt(in, buffer.data(), want, from);
        if (n < 0) return false;
        if (n == 0) return false;  // the file is shorter than it was
        if (!writer.Write(buffer.data(), static_cast<std::size_t>(n))) return false;
        from += static_cast<std::uint64_t>(n);
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
        const std::int64_t n = ReadAt(fd, buffer.data() + kept, want, offset);
        if (n < 0) return std::nullopt;
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
            const char* hit = FindBytes(buffer.data(), region, marker);
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
    std::uint64_t inOffset = from;
    const bool kernelCopy = options.copy == CopyMethod::Kernel ||
                            (options.copy == CopyMethod::Chosen && KernelCopySaves(in));
    if (kernelCopy) {
        while (length > 0) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(length, std::uint64_t{1} << 30));
            const std::int64_t n = KernelCopy(in, inOffset, out, want);
            if (n < 0) return false;
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
        const std::int64_t n = ReadAt(in, buffer.data(), buffer.chunk(), from);
        if (n < 0) return false;
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
    return CreateFileWith(target, PermissionsOf(source).value_or(0644), write);
}

FileStatus ReplaceWithCopyOf(const NativePath& fromPath, const NativePath& to,
                             const StreamOptions& options) {
    auto from = ReadOnlyFile::Open(fromPath);
    if (!from) return from.problem();
    const auto size = RegularFileSize(from->descriptor());
    if (!size) return SystemProblem(to.str(), errno);
    return ReplaceFileWith(
        to, [&](int out) { return CopyFileRange(from->descriptor(), 0, *size, out, options); });
}

FileStatus LinkOrCopyFile(const NativePath& from, const NativePath& to,
                          const StreamOptions& options) {
    if (LinkFile(from, to)) return {};
    if (errno == EEXIST) return SystemProblem(to.str(), errno);
    auto source = ReadOnlyFile::Open(from);
    if (!source) return source.problem();
    const auto size = RegularFileSize(source->descriptor());
    const auto mode = PermissionsOf(source->descriptor());
    if (!size || !mode) return SystemProblem(from.str(), errno);
    return CreateFileWith(to, *mode, [&](int out) {
        return CopyFileRange(source->descriptor(), 0, *size, out, options);
    });
}

std::optional<bool> SameContent(int a, int b, const StreamOptions& options) {
    const auto sizeA = RegularFileSize(a);
    const auto sizeB = RegularFileSize(b);
    if (!sizeA || !sizeB) return std::nullopt;
    if (*sizeA != *sizeB) return false;
    ReadBuffer buffers(*sizeA, options.bufferSize, 0, 2);
    const std::size_t chunk = buffers.chunk();
    char* bufferA = buffers.data(0);
    char* bufferB = buffers.data(1);
    for (std::uint64_t at = 0; at < *sizeA;) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, *sizeA - at));
        if (!ReadFull(a, bufferA, want, at) || !ReadFull(b, bufferB, want, at)) {
            return std::nullopt;
        }
        if (std::memcmp(bufferA, bufferB, want) != 0) return false;
        at += want;
    }
    return true;
}

FileResult<ReadOnlyFile> ReadOnlyFile::Open(const NativePath& path) {
    auto fd = OpenReadOnlyRegular(path);
    if (!fd) return fd.problem();
    return ReadOnlyFile(*fd);
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) CloseDescriptor(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) CloseDescriptor(fd_);
}

}  // namespace qm
