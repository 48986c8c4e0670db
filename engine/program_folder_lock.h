// One generate at a time per program folder, and per diary folder. Everything
// that may write a page, the log page, the entry file or the current copy
// holds the program folder's lock from reading the settings to its last
// write, and the diary folder's from choosing the page, so two runs (two
// windows, a window and the command line, or two program folders whose sets
// share one diary folder) never mix their entries nor clear up each other's
// files.
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

// The same lock file in config.diaryFolder, held in `lock`. Nothing is held
// (and true comes back) where the diary folder is the program folder, or
// does not exist, as then nothing can be written there. False after a
// message as for LockProgramFolder.
bool LockDiaryFolder(const ActiveConfig& config, Host& host, std::optional<FileLock>& lock,
                     std::chrono::milliseconds wait = kProgramFolderLockWait);

}  // namespace qm
