#include "platform/file_lock.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/files.h"
#include "platform/system_io.h"

namespace qm {

struct FileLock::Held {
    int fd = -1;
    ~Held() {
        if (fd >= 0) CloseDescriptor(fd);  // closing releases the lock
    }
};

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};

// The locks this process holds, by file, so a nested Acquire shares the lock
// instead of waiting for itself.
std::mutex heldMutex;
std::map<std::string, std::weak_ptr<void>>& HeldLocks() {
    static std::map<std::string, std::weak_ptr<void>> held;
    return held;
}

}  // namespace

FileResult<std::optional<FileLock>> FileLock::Acquire(const NativePath& path,
                                                      std::chrono::milliseconds wait) {
    const std::string& fsPath = path.str();

    std::lock_guard guard(heldMutex);
    if (auto shared = HeldLocks()[fsPath].lock()) {
        return std::optional(FileLock(std::static_pointer_cast<Held>(shared)));
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const int fd = TryLockFile(path);
        if (fd >= 0) {
            auto held = std::make_shared<Held>();
            held->fd = fd;
            HeldLocks()[fsPath] = held;
            return std::optional(FileLock(held));
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return SystemProblem(fsPath, errno);
        if (std::chrono::steady_clock::now() >= deadline) return std::optional<FileLock>();
        std::this_thread::sleep_for(kPollInterval);
    }
}

FileLock::~FileLock() = default;

}  // namespace qm
