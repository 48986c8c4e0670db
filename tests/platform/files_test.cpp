#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/encoding.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::size_t EntriesIn(const std::string& dir) {
    std::size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++n;
    }
    return n;
}

TEST(ReplaceFileContents, KeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string page = dir / "page.html";
    WriteBytes(page, "old");
    ::chmod(page.c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContents(page, "new text"));
    EXPECT_EQ(ReadBytes(page), "new text");
    EXPECT_EQ(ModeOf(page), 0640u);
    EXPECT_EQ(EntriesIn(dir.dir()), 1u);
}

TEST(ReplaceFileContents, WritesThroughASymbolicLink) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    const std::string target = dir / "real/page.html";
    WriteBytes(target, "old");
    std::filesystem::create_symlink("real/page.html", dir / "link.html");
    ASSERT_TRUE(ReplaceFileContents(dir / "link.html", "through the link"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.html"));
    EXPECT_EQ(ReadBytes(target), "through the link");
}

TEST(ReplaceFileContents, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string page = dir / "page.html";
    const std::string old(4096, 'a');
    WriteBytes(page, old);
    {
        test::FileSizeLimit limit(1024);  // the disk "fills up" after 1 KiB
        EXPECT_FALSE(ReplaceFileContents(page, std::string(8192, 'b')));
    }
    EXPECT_EQ(ReadBytes(page), old);
    EXPECT_EQ(EntriesIn(dir.dir()), 1u) << "the temporary file must be removed";
}

TEST(ReplaceFileContents, MissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(ReplaceFileContents(dir / "no/such/page.html", "x"));
}

TEST(LockedFile, SecondHolderIsRefusedUntilTheFirstCloses) {
    TempDir dir;
    const std::string page = dir / "page.html";
    WriteBytes(page, "text");
    {
        auto first = LockedFile::Open(page, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(page, LockedFile::Mode::OpenExisting));
        EXPECT_EQ(first->ReadAll().value(), "text");
    }
    EXPECT_TRUE(LockedFile::Open(page, LockedFile::Mode::OpenExisting));
}

TEST(LockedFile, OpenExistingDoesNotCreateButCreateIfMissingDoes) {
    TempDir dir;
    EXPECT_FALSE(LockedFile::Open(dir / "a.tmp", LockedFile::Mode::OpenExisting));
    EXPECT_FALSE(std::filesystem::exists(dir / "a.tmp"));
    auto made = LockedFile::Open(dir / "a.tmp", LockedFile::Mode::CreateIfMissing);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->ReadAll().value(), "");
    EXPECT_TRUE(made->Replace("entry"));
    EXPECT_EQ(ReadBytes(dir / "a.tmp"), "entry");
}

TEST(LockedFile, AFolderIsNotAFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    EXPECT_FALSE(LockedFile::Open(dir / "sub", LockedFile::Mode::OpenExisting));
}

TEST(Files, BackslashAndDoubleBytePathsReachTheSameFile) {
    TempDir dir;
    // 十 is 0x8F 0x5C: its second byte must not become a separator.
    const std::string folderUtf8 = dir / "十月";
    std::filesystem::create_directory(folderUtf8);
    WriteBytes(folderUtf8 + "/a.html", "page");
    const std::string cp932 = Utf8ToCp932(dir.dir()).value() + "\x8f\x5c\x8c\x8e\\a.html";
    EXPECT_TRUE(FileExists(cp932));
    EXPECT_EQ(ReadFileBytes(cp932).value(), "page");
}

TEST(Files, CopyFailIfExistsNeverOverwrites) {
    TempDir dir;
    WriteBytes(dir / "proto.html", "prototype");
    WriteBytes(dir / "page.html", "entries");
    EXPECT_FALSE(CopyFileTo(dir / "proto.html", dir / "page.html", true));
    EXPECT_EQ(ReadBytes(dir / "page.html"), "entries");
    EXPECT_TRUE(CopyFileTo(dir / "proto.html", dir / "new.html", true));
    EXPECT_EQ(ReadBytes(dir / "new.html"), "prototype");
    EXPECT_TRUE(CopyFileTo(dir / "proto.html", dir / "page.html", false));
    EXPECT_EQ(ReadBytes(dir / "page.html"), "prototype");
    EXPECT_EQ(EntriesIn(dir.dir()), 3u);
    EXPECT_FALSE(CopyFileTo(dir / "missing.html", dir / "x.html", false));
}

TEST(Files, MakeOwnerWritableAndRemove) {
    TempDir dir;
    const std::string page = dir / "page.html";
    WriteBytes(page, "x");
    ::chmod(page.c_str(), 0444);
    EXPECT_TRUE(MakeOwnerWritable(page));
    EXPECT_EQ(ModeOf(page), 0644u);
    EXPECT_FALSE(MakeOwnerWritable(dir / "missing"));
    EXPECT_TRUE(RemoveFile(page));
    EXPECT_FALSE(FileExists(page));
    EXPECT_FALSE(RemoveFile(page));
}

TEST(Files, TextEndsAtTheFirstNul) {
    using namespace std::string_literals;
    EXPECT_EQ(TextUpToNul("abc\0def"s), "abc");
    EXPECT_EQ(TextUpToNul("abc"), "abc");
    EXPECT_EQ(TextUpToNul("\0"s), "");
}

}  // namespace
}  // namespace qm
