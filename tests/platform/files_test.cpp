#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "platform/encoding.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

class Files : public ::testing::Test {
  protected:
    std::size_t Entries() const {
        return std::distance(fs::directory_iterator(dir_.dir()), fs::directory_iterator());
    }
    test::TempDir dir_;
    const std::string page_ = dir_ / "page.html";
};

TEST_F(Files, ReplaceKeepsPermissionsAndLeavesNoTemporaryFile) {
    WriteBytes(page_, "old");
    fs::permissions(page_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(ReplaceFileContents(page_, "new text"));
    EXPECT_EQ(ReadBytes(page_), "new text");
    EXPECT_EQ(fs::status(page_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(Files, ReplaceWritesThroughASymbolicLink) {
    fs::create_directory(dir_ / "real");
    WriteBytes(dir_ / "real/page.html", "old");
    fs::create_symlink("real/page.html", dir_ / "link.html");
    ASSERT_TRUE(ReplaceFileContents(dir_ / "link.html", "through the link"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.html"));
    EXPECT_EQ(ReadBytes(dir_ / "real/page.html"), "through the link");
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

TEST_F(Files, SecondHolderIsRefusedUntilTheFirstCloses) {
    WriteBytes(page_, "text");
    {
        auto first = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        EXPECT_EQ(first->ReadAll().value(), "text");
    }
    EXPECT_TRUE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
}

TEST_F(Files, BackslashAndDoubleBytePathsReachTheSameFile) {
    // 十 is 0x8F 0x5C: its second byte must not become a separator.
    fs::create_directory(dir_ / "十月");
    WriteBytes(dir_ / "十月/a.html", "page");
    const std::string cp932 = Utf8ToCp932(dir_.dir()).value() + "\x8f\x5c\x8c\x8e\\a.html";
    EXPECT_TRUE(FileExists(cp932));
    EXPECT_EQ(ReadFileBytes(cp932).value(), "page");
}

TEST_F(Files, CopyWithFailIfExistsNeverOverwrites) {
    WriteBytes(dir_ / "proto.html", "prototype");
    WriteBytes(page_, "entries");
    EXPECT_FALSE(CopyFileTo(dir_ / "proto.html", page_, true));
    EXPECT_EQ(ReadBytes(page_), "entries");
    EXPECT_TRUE(CopyFileTo(dir_ / "proto.html", dir_ / "new.html", true));
    EXPECT_EQ(ReadBytes(dir_ / "new.html"), "prototype");
}

TEST_F(Files, TheLockHoldsAcrossAReplace) {
    WriteBytes(page_, "old");
    {
        auto first = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        ASSERT_TRUE(first->Replace("new"));
        // The name now leads to the new file, and that one is held too.
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        EXPECT_EQ(first->ReadAll().value(), "new");
        ASSERT_TRUE(first->Replace("newer"));
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
    }
    auto second = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ReadAll().value(), "newer");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(Files, OnlyRegularFilesAreReadAndNothingWaits) {
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
}

TEST_F(Files, AFileOverTheLimitIsRefusedUnread) {
    // Sparse: no disk space is used.
    int fd = ::open(page_.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadBytes + 1)), 0);
    ::close(fd);
    EXPECT_FALSE(ReadFileBytes(page_));
    EXPECT_EQ(LastFileProblem().code, EFBIG);
    EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
}

TEST_F(Files, ANewFileGetsTheUsualPermissionsAndTheUmaskStays) {
    const mode_t mask = ::umask(027);
    ASSERT_TRUE(ReplaceFileContents(dir_ / "new.html", "text"));
    EXPECT_EQ(::umask(mask), 027);
    struct stat st {};
    ASSERT_EQ(::stat((dir_ / "new.html").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Files, WithoutHardLinksTheNameIsClaimedThenReplaced) {
    WriteBytes(dir_ / ".tmp1", "prototype");
    ASSERT_TRUE(RenameIntoAbsentName(dir_ / ".tmp1", page_));
    EXPECT_EQ(ReadBytes(page_), "prototype");
    EXPECT_EQ(Entries(), 1u);
    WriteBytes(dir_ / ".tmp2", "other");
    EXPECT_FALSE(RenameIntoAbsentName(dir_ / ".tmp2", page_));
    EXPECT_EQ(LastFileProblem().code, EEXIST);
    EXPECT_EQ(ReadBytes(page_), "prototype");
    EXPECT_EQ(ReadBytes(dir_ / ".tmp2"), "other") << "the caller removes its temporary file";
}

}  // namespace
}  // namespace qm
