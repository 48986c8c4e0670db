// One generate at a time per program folder. Everything that may write a
// page, the log page, the entry file or the current copy holds this lock from
// reading the settings to its last write, so two runs (two windows, a window
// and the command line) never mix their entries.
#pragma once

#include <chrono>
#include <optional>

#include "platform/file_lock.h"

namespace qm {

struct ActiveConfig;
class Host;

// Long enough for another run's generate to finish, short enough that a
// run kept waiting (a message box left open there) soon says so.
inline constexpr std::chrono::milliseconds kProgramFolderLockWait{2000};

// The lock file programDir + "QMgenerate.lock", held; std::nullopt after a
// message when another run kept it for `wait` or the file cannot be made.
std::optional<FileLock> LockProgramFolder(const ActiveConfig& config, Host& host,
                                          std::chrono::milliseconds wait = kProgramFolderLockWait);

}  // namespace qm
