// A lock that several processes take turns on: an exclusive advisory lock on
// a small file that is never removed or replaced, so every holder locks the
// same file.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

class FileLock {
  public:
    // Creates the lock file when missing and waits up to `wait` for the lock.
    // std::nullopt when another process kept it all that time; a problem
    // when the file cannot be made or locked. Taking a lock this process
    // holds already succeeds at once and shares it.
    static FileResult<std::optional<FileLock>> Acquire(const NativePath& path,
                                                       std::chrono::milliseconds wait);

    // The lock is released when the last sharer goes away.
    ~FileLock();
    FileLock(FileLock&&) noexcept = default;
    FileLock& operator=(FileLock&&) noexcept = default;

  private:
    struct Held;
    explicit FileLock(std::shared_ptr<Held> held) : held_(std::move(held)) {}
    std::shared_ptr<Held> held_;
};

}  // namespace qm
