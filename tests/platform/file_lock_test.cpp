#include "platform/file_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

// Another process's hold on the lock file: its own open file description.
class ForeignHolder {
  public:
    explicit ForeignHolder(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT, 0644)) {
        ::flock(fd_, LOCK_EX);
    }
    ~ForeignHolder() { Release(); }
    void Release() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

TEST(FileLock, BusyAfterTheWaitWhileAnotherHoldsIt) {
    test::TempDir dir;
    const std::string path = dir / "QMgenerate.lock";
    ForeignHolder other(path);
    FileLock::Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(FileLock::Acquire(path, 200ms, outcome));
    EXPECT_EQ(outcome, FileLock::Outcome::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    other.Release();
    EXPECT_TRUE(FileLock::Acquire(path, 0ms, outcome));
    EXPECT_EQ(outcome, FileLock::Outcome::Held);
}

TEST(FileLock, AWaiterGetsTheLockWhenTheHolderLetsGo) {
    test::TempDir dir;
    const std::string path = dir / "QMgenerate.lock";
    ForeignHolder other(path);
    std::thread releaser([&other] {
        std::this_thread::sleep_for(100ms);
        other.Release();
    });
    FileLock::Outcome outcome;
    EXPECT_TRUE(FileLock::Acquire(path, 5s, outcome));
    releaser.join();
}

TEST(FileLock, HeldLocksAreSharedWithinTheProcessAndFreedByTheLast) {
    test::TempDir dir;
    const std::string path = dir / "QMgenerate.lock";
    FileLock::Outcome outcome;
    auto outer = FileLock::Acquire(path, 0ms, outcome);
    ASSERT_TRUE(outer);
    {
        auto inner = FileLock::Acquire(path, 0ms, outcome);
        EXPECT_TRUE(inner) << "a nested taker must not wait for itself";
    }
    int probe = ::open(path.c_str(), O_RDWR);
    EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0) << "still held by the outer lock";
    outer.reset();
    EXPECT_EQ(::flock(probe, LOCK_EX | LOCK_NB), 0);
    ::close(probe);
}

TEST(FileLock, ALockFileThatCannotBeMadeIsAFailureNotAWait) {
    test::TempDir dir;
    FileLock::Outcome outcome;
    EXPECT_FALSE(FileLock::Acquire(dir / "no/such/folder/QMgenerate.lock", 5s, outcome));
    EXPECT_EQ(outcome, FileLock::Outcome::Failed);
}

}  // namespace
}  // namespace qm
