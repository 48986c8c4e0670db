#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "files_fixture.h"
#include "platform/files.h"
#include "platform/scratch_file.h"
#include "platform/stream_replace.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// Kept permissions, through a symbolic link, a new file under the umask.
TEST_F(Files, ReplaceKeepsPermissionsFollowsLinksAndLeavesNoTemporaryFile) {
    fs::create_directory(dir_ / "real");
    WriteBytes(dir_ / "real/page.html", "old");
    fs::permissions(dir_ / "real/page.html", fs::perms(0640));
    fs::create_symlink("real/page.html", page_);
    ASSERT_TRUE(ReplaceFileContents(N(page_), "new text"));
    EXPECT_TRUE(fs::is_symlink(page_));
    EXPECT_EQ(ReadBytes(dir_ / "real/page.html"), "new text");
    EXPECT_EQ(fs::status(page_).permissions(), fs::perms(0640));
    const mode_t mask = ::umask(027);
    ASSERT_TRUE(ReplaceFileContents(N(dir_ / "new.html"), "text"));
    EXPECT_EQ(::umask(mask), 027);
    EXPECT_EQ(fs::status(dir_ / "new.html").permissions(), fs::perms(0640));
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(Files, OnlyRegularFilesAreReadAndNothingWaits) {
    const std::string fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(dir_ / "folder");
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir_ / "folder"}) {
        const auto read = ReadRegularFile(N(path));
        ASSERT_FALSE(read) << path;
        EXPECT_EQ(read.problem().fsPath, path);
        EXPECT_FALSE(read.problem().answer.empty());
        EXPECT_FALSE(LockedFile::Open(N(path), LockedFile::Mode::CreateIfMissing)) << path;
        EXPECT_FALSE(CopyFileTo(N(path), N(dir_ / "copy.html"), true)) << path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fs::exists(dir_ / "copy.html"));
}

// A disk that fills up (on either side of the marker, or under a whole
// replacement) and a page cut short after the scan: the page stays as it
// was, with nothing beside it.
TEST_F(Files, AFullDiskOrAPageCutShortLeavesThePageWhole) {
    const std::string page = std::string(20000, 'x') + kMarker + std::string(20000, 'y');
    WriteBytes(page_, page);
    auto file = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
    auto at = FindMarkerInText(file->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);
    for (CopyMethod copy : kCopyMethods) {
        test::FileSizeLimit fullDisk(8192);
        EXPECT_FALSE(ReplaceWithInsertion(*file, *at, kMarker.size(), "entry", {4096, copy}));
        EXPECT_FALSE(ReplaceFileContents(N(page_), page + page));
        EXPECT_FALSE(ReplaceScratchFile(N(page_), page + page));
    }
    EXPECT_EQ(ReadBytes(page_), page);
    ASSERT_EQ(::truncate(page_.c_str(), 100), 0);
    for (CopyMethod copy : kCopyMethods) {
        EXPECT_FALSE(ReplaceWithInsertion(*file, *at, kMarker.size(), "e", {512, copy}));
    }
    EXPECT_EQ(ReadBytes(page_), std::string(100, 'x'));
    EXPECT_EQ(Entries(), 1u);
}

}  // namespace
}  // namespace qm
