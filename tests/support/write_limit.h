// Makes writes fail as on a full disk. Tests run as root in CI, where file
// permissions stop nothing, so a file size limit is the dependable way to make
// a write fail part-way.
#pragma once

// Windows has no file size limit: the full-disk cases are POSIX only.
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace qm::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed test
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

}  // namespace qm::test
#endif
