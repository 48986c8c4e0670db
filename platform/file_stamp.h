// Which file a name leads to and how it stood when looked at: its device and
// inode, its size, and its modification and change times. A file written
// again, replaced or renamed over shows other figures, and the change time
// is set by the system alone, so no writer can put it back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds since the epoch
    std::int64_t changedNs = 0;

    bool operator==(const FileStamp&) const = default;

    // Five decimal numbers joined by ':', and back.
    std::string Text() const;
    static std::optional<FileStamp> FromText(std::string_view text);
};

std::optional<FileStamp> StampOfFile(const NativePath& path);
std::optional<FileStamp> StampOfDescriptor(int fd);

// What a name leads to, and its stamp. Other: a device, a FIFO, and for
// LookAtName a symbolic link too.
enum class FileKind { Regular, Folder, Other };
struct FileLook {
    FileKind kind;
    FileStamp stamp;
};

// The file `path` leads to, links followed; the system's answer when it
// cannot be looked at (ENOENT when nothing is there).
FileResult<FileLook> LookAtFile(const NativePath& path);
// The same for the name itself: a symbolic link there is not followed.
FileResult<FileLook> LookAtName(const NativePath& path);

}  // namespace qm
