// Files that only carry data from one step of a run to the next, or keep a
// convenience: never flushed to the disk, since no diary is lost with them.
#pragma once

#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

// Replaces the file by one holding `content`, written beside it and renamed
// into place, so that a reader finds the old file or the new one whole; the
// disk gets it with the system's next flush of its own. For records whose
// loss in a crash loses a convenience, never a diary.
FileStatus ReplaceScratchFile(const NativePath& path, std::string_view content);

}  // namespace qm
