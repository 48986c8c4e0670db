#include "engine/program_folder_lock.h"

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

std::optional<FileLock> LockProgramFolder(const ActiveConfig& config, Host& host,
                                          std::chrono::milliseconds wait) {
    FileLock::Outcome outcome = FileLock::Outcome::Failed;
    auto lock =
        FileLock::Acquire(config.programDir + std::string(kProgramFolderLockName), wait, outcome);
    if (outcome == FileLock::Outcome::Busy) {
        host.ShowMessage(Sjis(msg::kBusyText), Sjis(msg::kBusyCaption));
    } else if (!lock) {
        host.ShowMessage(SjisWithFileProblem(msg::kLockFailedText), Sjis(msg::kLockFailedCaption));
    }
    return lock;
}

}  // namespace qm
