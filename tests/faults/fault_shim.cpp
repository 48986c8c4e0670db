// Loaded with LD_PRELOAD into a run of the program: the Nth file-system call
// on a file under QM_FAULT_DIR fails with errno QM_FAULT_ERRNO (QM_FAULT_AT=N;
// 0 only counts). At exit the number of such calls and the failed one are
// written to QM_FAULT_REPORT as "calls N" and "failed CALL PATH".
// Flushes (fsync) never reach the disk.
//
// Calls are those of the C library the program and its C++ library make
// directly; a call on a descriptor counts when the descriptor was opened on a
// file under the folder.

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
    std::strncpy(to, from ? from : "", kPathMax - 1);
    to[kPathMax - 1] = '\0';
}

// The path made absolute against the working folder, when it lies under the
// watched folder; nullptr otherwise.
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

int TempCommon(const char* call, char* pattern, int flags) {
    char absolute[kPathMax];
    const bool watched = Watched(pattern, absolute);
    if (watched && Fails(call, absolute)) return -1;
    static auto realMkostemp = Real<int (*)(char*, int)>("mkostemp");
    int fd = realMkostemp(pattern, flags);
    if (fd >= 0 && watched && Watched(pattern, absolute)) Track(fd, absolute);
    return fd;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenCommon("open", AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenCommon("open", AT_FDCWD, path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenCommon("openat", dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenCommon("openat", dirFd, path, flags, mode);
}

int mkstemp(char* pattern) { return TempCommon("mkstemp", pattern, 0); }
int mkstemp64(char* pattern) { return TempCommon("mkstemp", pattern, 0); }
int mkostemp(char* pattern, int flags) { return TempCommon("mkostemp", pattern, flags); }

int close(int fd) {
    static auto real = Real<int (*)(int)>("close");
    const bool fails = FailsOnFd("close", fd);
    if (fd >= 0 && fd < kMaxFds) fdPaths[fd][0] = '\0';
    if (fails) {
        real(fd);  // as on Linux: the descriptor is gone even when close reports an error
        errno = failErrno;
        return -1;
    }
    return real(fd);
}

ssize_t read(int fd, void* buffer, std::size_t size) {
    static auto real = Real<ssize_t (*)(int, void*, std::size_t)>("read");
    return FailsOnFd("read", fd) ? -1 : real(fd, buffer, size);
}

ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset) {
    static auto real = Real<ssize_t (*)(int, void*, std::size_t, off_t)>("pread");
    return FailsOnFd("pread", fd) ? -1 : real(fd, buffer, size, offset);
}

ssize_t pread64(int fd, void* buffer, std::size_t size, off_t offset) {
    return pread(fd, buffer, size, offset);
}

ssize_t write(int fd, const void* buffer, std::size_t size) {
    static auto real = Real<ssize_t (*)(int, const void*, std::size_t)>("write");
    return FailsOnFd("write", fd) ? -1 : real(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, std::size_t size, off_t offset) {
    static auto real = Real<ssize_t (*)(int, const void*, std::size_t, off_t)>("pwrite");
    return FailsOnFd("pwrite", fd) ? -1 : real(fd, buffer, size, offset);
}

int fstat(int fd, struct stat* st) {
    static auto real = Real<int (*)(int, struct stat*)>("fstat");
    return FailsOnFd("fstat", fd) ? -1 : real(fd, st);
}

int fstat64(int fd, struct stat64* st) {
    static auto real = Real<int (*)(int, struct stat64*)>("fstat64");
    return FailsOnFd("fstat", fd) ? -1 : real(fd, st);
}

int stat(const char* path, struct stat* st) {
    static auto real = Real<int (*)(const char*, struct stat*)>("stat");
    return FailsOnPath("stat", path) ? -1 : real(path, st);
}

int stat64(const char* path, struct stat64* st) {
    static auto real = Real<int (*)(const char*, struct stat64*)>("stat64");
    return FailsOnPath("stat", path) ? -1 : real(path, st);
}

int lstat(const char* path, struct stat* st) {
    static auto real = Real<int (*)(const char*, struct stat*)>("lstat");
    return FailsOnPath("lstat", path) ? -1 : real(path, st);
}

int lstat64(const char* path, struct stat64* st) {
    static auto real = Real<int (*)(const char*, struct stat64*)>("lstat64");
    return FailsOnPath("lstat", path) ? -1 : real(path, st);
}

int access(const char* path, int how) {
    static auto real = Real<int (*)(const char*, int)>("access");
    return FailsOnPath("access", path) ? -1 : real(path, how);
}

ssize_t readlink(const char* path, char* buffer, std::size_t size) {
    static auto real = Real<ssize_t (*)(const char*, char*, std::size_t)>("readlink");
    return FailsOnPath("readlink", path) ? -1 : real(path, buffer, size);
}

// A flush that does not fail succeeds without flushing: what reaches the disk
// on a power cut is not checked here, and real flushes made each run slow.
int fsync(int fd) { return FailsOnFd("fsync", fd) ? -1 : 0; }
int fdatasync(int fd) { return FailsOnFd("fdatasync", fd) ? -1 : 0; }

int ftruncate(int fd, off_t length) {
    static auto real = Real<int (*)(int, off_t)>("ftruncate");
    return FailsOnFd("ftruncate", fd) ? -1 : real(fd, length);
}

int fchmod(int fd, mode_t mode) {
    static auto real = Real<int (*)(int, mode_t)>("fchmod");
    return FailsOnFd("fchmod", fd) ? -1 : real(fd, mode);
}

int chmod(const char* path, mode_t mode) {
    static auto real = Real<int (*)(const char*, mode_t)>("chmod");
    return FailsOnPath("chmod", path) ? -1 : real(path, mode);
}

int flock(int fd, int operation) {
    static auto real = Real<int (*)(int, int)>("flock");
    return FailsOnFd("flock", fd) ? -1 : real(fd, operation);
}

int rename(const char* from, const char* to) {
    static auto real = Real<int (*)(const char*, const char*)>("rename");
    return FailsOnPath("rename", to) ? -1 : real(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    static auto real = Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return FailsOnPath("renameat2", to) ? -1 : real(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    static auto real = Real<int (*)(const char*, const char*)>("link");
    return FailsOnPath("link", to) ? -1 : real(from, to);
}

int unlink(const char* path) {
    static auto real = Real<int (*)(const char*)>("unlink");
    return FailsOnPath("unlink", path) ? -1 : real(path);
}

int mkdir(const char* path, mode_t mode) {
    static auto real = Real<int (*)(const char*, mode_t)>("mkdir");
    return FailsOnPath("mkdir", path) ? -1 : real(path, mode);
}

DIR* opendir(const char* path) {
    static auto real = Real<DIR* (*)(const char*)>("opendir");
    return FailsOnPath("opendir", path) ? nullptr : real(path);
}

}  // extern "C"
