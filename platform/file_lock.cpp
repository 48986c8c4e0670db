#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/files.h"

namespace qm {

struct FileLock::Held {
    int fd = -1;
    ~Held() {
        if (fd >= 0) ::close(fd);  // closing releases the lock
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

// One try: the lock file opened (made when missing) and locked, still under
// its name. -1 when busy (errno EWOULDBLOCK) or failed.
int TryLock(const std::string& fsPath) {
    int fd = ::open(fsPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    struct stat held {};
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    // Someone removed the lock file while we waited: the lock we got is on a
    // file no one else will open, so go round again on the new one.
    struct stat named {};
    if (::stat(fsPath.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
        named.st_ino != held.st_ino) {
        ::close(fd);
        errno = EWOULDBLOCK;
        return -1;
    }
    return fd;
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
        const int fd = TryLock(fsPath);
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
