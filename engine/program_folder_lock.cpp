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

std::optional<FileLock> LockFolder(const std::string& folderCp932, Host& host,
                                   std::chrono::milliseconds wait) {
    auto lock = FileLock::Acquire(folderCp932 + std::string(kProgramFolderLockName), wait);
    if (!lock) {
        host.ShowMessage(SjisWithFileProblem(msg::kLockFailedText, lock.problem()),
                         Sjis(msg::kLockFailedCaption));
        return std::nullopt;
    }
    if (!*lock) host.ShowMessage(Sjis(msg::kBusyText), Sjis(msg::kBusyCaption));
    return std::move(*lock);
}

// The folder as the system finds it: "" names the working folder.
std::optional<FileStamp> FolderIdentity(const std::string& folderCp932) {
    const auto path = NativePathOf(folderCp932.empty() ? std::string(".") : folderCp932);
    if (!path) return std::nullopt;
    const auto look = LookAtFile(*path);
    if (!look || look->kind != FileKind::Folder) return std::nullopt;
    return look->stamp;
}

}  // namespace

std::optional<FileLock> LockProgramFolder(const ActiveConfig& config, Host& host,
                                          std::chrono::milliseconds wait) {
    return LockFolder(config.programDir, host, wait);
}

bool LockDiaryFolder(const ActiveConfig& config, Host& host, std::optional<FileLock>& lock,
                     std::chrono::milliseconds wait) {
    const auto diary = FolderIdentity(config.diaryFolder);
    const auto program = FolderIdentity(config.programDir);
    // The program folder's lock covers it already: a second lock on the same
    // file by another name would wait for this very run.
    if (!diary || (program && diary->device == program->device && diary->inode == program->inode))
        return true;
    lock = LockFolder(config.diaryFolder, host, wait);
    return lock.has_value();
}

}  // namespace qm
