#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/encoding.h"
#include "platform/file_lock.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;
using namespace std::chrono_literals;

class Files : public ::testing::Test {
  protected:
    std::size_t Entries() const {
        return std::distance(fs::directory_iterator(dir_.dir()), fs::directory_iterator());
    }
    test::TempDir dir_;
    const std::string page_ = dir_ / "page.html";
};

// Kept permissions, through a symbolic link, a new file under the umask.
TEST_F(Files, ReplaceKeepsPermissionsFollowsLinksAndLeavesNoTemporaryFile) {
    fs::create_directory(dir_ / "real");
    WriteBytes(dir_ / "real/page.html", "old");
    fs::permissions(dir_ / "real/page.html", fs::perms(0640));
    fs::create_symlink("real/page.html", page_);
    ASSERT_TRUE(ReplaceFileContents(page_, "new text"));
    EXPECT_TRUE(fs::is_symlink(page_));
    EXPECT_EQ(ReadBytes(dir_ / "real/page.html"), "new text");
    EXPECT_EQ(fs::status(page_).permissions(), fs::perms(0640));
    const mode_t mask = ::umask(027);
    ASSERT_TRUE(ReplaceFileContents(dir_ / "new.html", "text"));
    EXPECT_EQ(::umask(mask), 027);
    EXPECT_EQ(fs::status(dir_ / "new.html").permissions(), fs::perms(0640));
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(Files, FailedReplaceLeavesTheOldFileWhole) {
    const std::string old(4096, 'a');
    WriteBytes(page_, old);
    {
        test::FileSizeLimit limit(1024);  // the disk "fills up" after 1 KiB
        EXPECT_FALSE(ReplaceFileContents(page_, std::string(8192, 'b')));
    }
    EXPECT_EQ(ReadBytes(page_), old);
    EXPECT_EQ(Entries(), 1u) << "the temporary file must be removed";
}

// A second holder is refused until the first closes, also after its replaces.
TEST_F(Files, TheLockRefusesASecondHolderAndHoldsAcrossAReplace) {
    WriteBytes(page_, "old");
    {
        auto first = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        ASSERT_TRUE(first->Replace("new"));
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        EXPECT_EQ(first->ReadAll().value(), "new");
    }
    auto second = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ReadAll().value(), "new");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(Files, BackslashAndDoubleBytePathsReachTheSameFile) {
    // 十 is 0x8F 0x5C: its second byte must not become a separator.
    fs::create_directory(dir_ / "十月");
    WriteBytes(dir_ / "十月/a.html", "page");
    const std::string cp932 = Utf8ToCp932(dir_.dir()).value() + "\x8f\x5c\x8c\x8e\\a.html";
    EXPECT_TRUE(FileExists(cp932));
    EXPECT_EQ(ReadFileBytes(cp932).value(), "page");
}

TEST_F(Files, NoCopyOrClaimOverwritesAnExistingName) {
    WriteBytes(dir_ / "proto.html", "prototype");
    WriteBytes(page_, "entries");
    EXPECT_FALSE(CopyFileTo(dir_ / "proto.html", page_, true));
    EXPECT_TRUE(CopyFileTo(dir_ / "proto.html", dir_ / "new.html", true));
    EXPECT_EQ(ReadBytes(dir_ / "new.html"), "prototype");
    WriteBytes(dir_ / ".tmp", "other");
    EXPECT_FALSE(RenameIntoAbsentName(dir_ / ".tmp", page_));
    EXPECT_EQ(LastFileProblem().code, EEXIST);
    EXPECT_EQ(ReadBytes(page_), "entries");
    EXPECT_EQ(ReadBytes(dir_ / ".tmp"), "other") << "the caller removes its temporary file";
    ASSERT_TRUE(RenameIntoAbsentName(dir_ / ".tmp", dir_ / "claimed.html"));
    EXPECT_EQ(Entries(), 4u);
}

TEST_F(Files, OnlyRegularFilesWithinTheLimitAreReadAndNothingWaits) {
    const std::string fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(dir_ / "folder");
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir_ / "folder"}) {
        EXPECT_FALSE(ReadFileBytes(path)) << path;
        EXPECT_EQ(LastFileProblem().fsPath, path);
        EXPECT_FALSE(LastFileProblem().answer.empty());
        EXPECT_FALSE(LockedFile::Open(path, LockedFile::Mode::CreateIfMissing)) << path;
        EXPECT_FALSE(CopyFileTo(path, dir_ / "copy.html", true)) << path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fs::exists(dir_ / "copy.html"));
    EXPECT_FALSE(ReadFileBytes(dir_ / "missing.html"));
    EXPECT_EQ(LastFileProblem().code, ENOENT);
    // Sparse: no disk space is used.
    WriteBytes(page_, "");
    ASSERT_EQ(::truncate(page_.c_str(), off_t(kMaxReadBytes + 1)), 0);
    EXPECT_FALSE(ReadFileBytes(page_));
    EXPECT_EQ(LastFileProblem().code, EFBIG);
    EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
}

// Another process's hold on the lock file: an open file description of its own.
TEST(FileLock, BusyWhileAnotherHoldsItAndTakenWhenTheHolderLetsGo) {
    test::TempDir dir;
    const std::string path = dir / "QMgenerate.lock";
    int other = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    FileLock::Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(FileLock::Acquire(path, 200ms, outcome));
    EXPECT_EQ(outcome, FileLock::Outcome::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    std::thread releaser([&other] {
        std::this_thread::sleep_for(100ms);
        ::close(other);
    });
    EXPECT_TRUE(FileLock::Acquire(path, 5s, outcome));
    EXPECT_EQ(outcome, FileLock::Outcome::Held);
    releaser.join();
}

TEST(FileLock, HeldLocksAreSharedWithinTheProcessAndFreedByTheLast) {
    test::TempDir dir;
    const std::string path = dir / "QMgenerate.lock";
    FileLock::Outcome outcome;
    auto outer = FileLock::Acquire(path, 0ms, outcome);
    ASSERT_TRUE(outer);
    EXPECT_TRUE(FileLock::Acquire(path, 0ms, outcome)) << "a nested taker must not wait";
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
