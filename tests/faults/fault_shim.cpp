// Loaded with LD_PRELOAD into a run of the program: the Nth file-system call
// on a file under QM_FAULT_DIR fails with errno QM_FAULT_ERRNO (QM_FAULT_AT=N;
// 0 only counts). At exit the number of such calls and the failed one are
// written to QM_FAULT_REPORT as "calls N" and "failed CALL PATH".
// Flushes (fsync) never reach the disk.
//
// The calls wrapped are the file-system calls the program and its C++ library
// import (nm -D lists them); a call on a descriptor counts when the
// descriptor was opened on a file under the folder.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define COMMA ,

namespace {

constexpr int kMaxFds = 1024;
constexpr std::size_t kPathMax = 1024;

char faultDir[kPathMax];
long failAt = 0;
int failErrno = EIO;
const char* reportPath = nullptr;
long calls = 0;
char failedCall[32];
char failedPath[kPathMax];
char fdPaths[kMaxFds][kPathMax];  // empty: not a watched descriptor

template <typename F>
F Real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

void Copy(char* to, const char* from) {
    const std::size_t length = from ? ::strnlen(from, kPathMax - 1) : 0;
    std::memcpy(to, from ? from : "", length);
    to[length] = '\0';
}

// Whether the path lies under the watched folder; `absolute` receives it made
// absolute against the working folder.
bool Watched(const char* path, char* absolute) {
    if (faultDir[0] == '\0' || path == nullptr) return false;
    if (path[0] == '/') {
        Copy(absolute, path);
    } else {
        char cwd[kPathMax / 2];
        if (::getcwd(cwd, sizeof cwd) == nullptr) return false;
        std::snprintf(absolute, kPathMax, "%s/%s", cwd, path);
    }
    return std::strncmp(absolute, faultDir, std::strlen(faultDir)) == 0;
}

bool WatchedFd(int fd) { return fd >= 0 && fd < kMaxFds && fdPaths[fd][0] != '\0'; }

void Track(int fd, const char* absolute) {
    if (fd >= 0 && fd < kMaxFds) Copy(fdPaths[fd], absolute);
}

// Counts one call; true (with errno set) when this is the one to fail.
bool Fails(const char* call, const char* absolute) {
    if (++calls != failAt) return false;
    std::strncpy(failedCall, call, sizeof failedCall - 1);
    Copy(failedPath, absolute);
    errno = failErrno;
    return true;
}

bool FailsOnPath(const char* call, const char* path) {
    char absolute[kPathMax];
    return Watched(path, absolute) && Fails(call, absolute);
}

bool FailsOnFd(const char* call, int fd) { return WatchedFd(fd) && Fails(call, fdPaths[fd]); }

__attribute__((constructor)) void ReadSettings() {
    if (const char* dir = std::getenv("QM_FAULT_DIR")) Copy(faultDir, dir);
    if (const char* at = std::getenv("QM_FAULT_AT")) failAt = std::atol(at);
    if (const char* number = std::getenv("QM_FAULT_ERRNO")) failErrno = std::atoi(number);
    reportPath = std::getenv("QM_FAULT_REPORT");
}

__attribute__((destructor)) void WriteReport() {
    if (reportPath == nullptr) return;
    char text[3 * kPathMax];
    int length = std::snprintf(text, sizeof text, "calls %ld\n", calls);
    if (failedCall[0] != '\0') {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                "failed %s %s\n", failedCall, failedPath);
    }
    static auto realOpen = Real<int (*)(const char*, int, ...)>("open");
    static auto realWrite = Real<ssize_t (*)(int, const void*, std::size_t)>("write");
    static auto realClose = Real<int (*)(int)>("close");
    int fd = realOpen(reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    realWrite(fd, text, static_cast<std::size_t>(length));
    realClose(fd);
}

int OpenCommon(const char* call, int dirFd, const char* path, int flags, mode_t mode) {
    char absolute[kPathMax];
    const bool watched = (dirFd == AT_FDCWD || (path && path[0] == '/')) && Watched(path, absolute);
    if (watched && Fails(call, absolute)) return -1;
    static auto realOpenat = Real<int (*)(int, const char*, int, ...)>("openat");
    int fd = realOpenat(dirFd, path, flags, mode);
    if (fd >= 0) Track(fd, watched ? absolute : "");
    return fd;
}

mode_t ModeArgument(int flags, va_list& args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

int TempCommon(const char* call, char* pattern) {
    char absolute[kPathMax];
    const bool watched = Watched(pattern, absolute);
    if (watched && Fails(call, absolute)) return -1;
    static auto realMkstemp = Real<int (*)(char*)>("mkstemp");
    int fd = realMkstemp(pattern);
    if (fd >= 0 && watched && Watched(pattern, absolute)) Track(fd, absolute);
    return fd;
}

}  // namespace

extern "C" {

// The mode argument is there only with O_CREAT.
#define OPEN_CALL(name, dirParam, dirFd)                    \
    int name(dirParam const char* path, int flags, ...) {   \
        va_list args;                                       \
        va_start(args, flags);                              \
        const mode_t mode = ModeArgument(flags, args);      \
        va_end(args);                                       \
        return OpenCommon(#name, dirFd, path, flags, mode); \
    }
OPEN_CALL(open, , AT_FDCWD)
OPEN_CALL(openat, int dirFd COMMA, dirFd)

int mkstemp(char* pattern) { return TempCommon("mkstemp", pattern); }

int close(int fd) {
    static auto real = Real<int (*)(int)>("close");
    const bool fails = FailsOnFd("close", fd);
    if (fd >= 0 && fd < kMaxFds) fdPaths[fd][0] = '\0';
    const int result = real(fd);  // as on Linux: the descriptor is gone even when close fails
    if (!fails) return result;
    errno = failErrno;
    return -1;
}

// A flush that does not fail succeeds without flushing: what reaches the disk
// on a power cut is not checked here, and real flushes made each run slow.
int fsync(int fd) { return FailsOnFd("fsync", fd) ? -1 : 0; }

// Calls on a descriptor (FD_CALL) and on a path (PATH_CALL, checked on `on`):
// fail when it is their turn, else pass through.
#define FD_CALL(result, name, params, args)                   \
    result name params {                                      \
        static auto real = Real<result(*) params>(#name);     \
        return FailsOnFd(#name, fd) ? result(-1) : real args; \
    }
#define PATH_CALL(result, name, on, params, args)               \
    result name params {                                        \
        static auto real = Real<result(*) params>(#name);       \
        return FailsOnPath(#name, on) ? result(-1) : real args; \
    }

FD_CALL(ssize_t, read, (int fd, void* b, size_t n), (fd, b, n))
FD_CALL(ssize_t, pread, (int fd, void* b, size_t n, off_t o), (fd, b, n, o))
FD_CALL(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n))
FD_CALL(int, fstat, (int fd, struct stat* st), (fd, st))
FD_CALL(int, fchmod, (int fd, mode_t mode), (fd, mode))
FD_CALL(int, flock, (int fd, int operation), (fd, operation))
PATH_CALL(int, stat, path, (const char* path, struct stat* st), (path, st))
PATH_CALL(int, lstat, path, (const char* path, struct stat* st), (path, st))
PATH_CALL(int, access, path, (const char* path, int how), (path, how))
PATH_CALL(ssize_t, readlink, path, (const char* path, char* b, size_t n), (path, b, n))
PATH_CALL(int, chmod, path, (const char* path, mode_t mode), (path, mode))
PATH_CALL(int, mkdir, path, (const char* path, mode_t mode), (path, mode))
PATH_CALL(int, unlink, path, (const char* path), (path))
PATH_CALL(int, rename, to, (const char* from, const char* to), (from, to))
PATH_CALL(int, link, to, (const char* from, const char* to), (from, to))

DIR* opendir(const char* path) {
    static auto real = Real<DIR* (*)(const char*)>("opendir");
    return FailsOnPath("opendir", path) ? nullptr : real(path);
}

}  // extern "C"
