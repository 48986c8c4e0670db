#include "engine/program_folder_lock.h"

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

std::optional<FileLock> LockProgramFolder(const ActiveConfig& config, Host& host,
                                          std::chrono::milliseconds wait) {
    const auto path = NativeProgramFile(config, kProgramFolderLockName);
    auto lock =
        path ? FileLock::Acquire(*path, wait) : FileResult<std::optional<FileLock>>(path.problem());
    if (!lock) {
        host.ShowMessage(SjisWithFileProblem(msg::kLockFailedText, lock.problem()),
                         Sjis(msg::kLockFailedCaption));
        return std::nullopt;
    }
    if (!*lock) host.ShowMessage(Sjis(msg::kBusyText), Sjis(msg::kBusyCaption));
    return std::move(*lock);
}

}  // namespace qm
