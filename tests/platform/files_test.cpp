#include "platform/files.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qm
