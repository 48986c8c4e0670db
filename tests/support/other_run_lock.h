// A lock file held as another run of the program holds it: through an open
// file of its own, so this process's own locks on it are refused.
#pragma once

#include <fcntl.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/file.h>
#endif

#include <string>

#include "platform/system_io.h"

namespace qm::test {

// The descriptor holding the lock on `path` (made when missing); -1 when it
// cannot be had. ::close lets go.
inline int LockAsAnotherRun(const std::string& path) {
#ifdef _WIN32
    return TryLockFile(NativePath(path));
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    return ::flock(fd, LOCK_EX) == 0 ? fd : -1;
#endif
}

}  // namespace qm::test
