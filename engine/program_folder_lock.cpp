#include "engine/program_folder_lock.h"

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/file_stamp.h"
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
std::optional<FileStamp> FolderIdentity(const FileResult<NativePath>& folder) {
    if (!folder) return std::nullopt;
    const auto look = LookAtFile(folder->empty() ? NativePath(".") : *folder);
    if (!look || look->kind != FileKind::Folder) return std::nullopt;
    return look->stamp;
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
    if (!diary || (program && diary->device == program->device && diary->inode == program->inode))
        return true;
    lock = LockFolder(config.native.diaryFolder, host, wait);
    return lock.has_value();
}

}  // namespace qm
