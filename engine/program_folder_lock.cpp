#include "engine/program_folder_lock.h"

#include <sys/stat.h>

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/native_path.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

namespace {

std::optional<FileLock> LockFolder(const FileResult<NativePath>& folder, Host& host,
                                   std::chrono::milliseconds wait) {
    auto lock = folder ? FileLock::Acquire(*folder + kProgramFolderLockName, wait)
                       : FileResult<std::optional<FileLock>>(folder.problem());
    if (!lock) {
        host.ShowMessage(SjisWithFileProblem(msg::kLockFailedText, lock.problem()),
                         Sjis(msg::kLockFailedCaption));
        return std::nullopt;
    }
    if (!*lock) host.ShowMessage(Sjis(msg::kBusyText), Sjis(msg::kBusyCaption));
    return std::move(*lock);
}

// The folder as the system finds it: "" names the working folder.
std::optional<struct stat> FolderIdentity(const FileResult<NativePath>& folder) {
    if (!folder) return std::nullopt;
    const char* path = folder->empty() ? "." : folder->c_str();
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return st;
}

}  // namespace

std::optional<FileLock> LockProgramFolder(const ActiveConfig& config, Host& host,
                                          std::chrono::milliseconds wait) {
    return LockFolder(config.native.programDir, host, wait);
}

bool LockDiaryFolder(const ActiveConfig& config, Host& host, std::optional<FileLock>& lock,
                     std::chrono::milliseconds wait) {
    const auto diary = FolderIdentity(config.native.diaryFolder);
    const auto program = FolderIdentity(config.native.programDir);
    // The program folder's lock covers it already: a second lock on the same
    // file by another name would wait for this very run.
    if (!diary || (program && diary->st_dev == program->st_dev && diary->st_ino == program->st_ino))
        return true;
    lock = LockFolder(config.native.diaryFolder, host, wait);
    return lock.has_value();
}

}  // namespace qm
