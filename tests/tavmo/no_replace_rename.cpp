// Loaded into the test FTP server (LD_PRELOAD): a rename refuses to replace a
// file that is already there, as on servers whose file system never renames
// over a file. vsftpd itself always replaces and has no setting against it.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

extern "C" int rename(const char* from, const char* to) noexcept {
    struct stat existing {};
    if (::lstat(to, &existing) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}
