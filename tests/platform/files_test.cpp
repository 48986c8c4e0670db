#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "platform/encoding.h"
#include "platform/file_lock.h"
#include "platform/scratch_file.h"
#include "platform/stream_replace.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;
using namespace std::chrono_literals;

NativePath N(const std::string& path) { return NativePath(path); }

class Files : public ::testing::Test {
  protected:
    std::size_t Entries() const { return std::distance(fs::directory_iterator(dir_.dir()), {}); }
    test::TempDir dir_;
    const std::string page_ = dir_ / "page.html";
};

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

// A second holder is refused until the first closes, also after its replaces.
TEST_F(Files, TheLockRefusesASecondHolderAndHoldsAcrossAReplace) {
    WriteBytes(page_, "old");
    {
        auto first = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
        ASSERT_TRUE(first->Replace("new"));
        EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
        EXPECT_EQ(*first->ReadAll(), "new");
    }
    auto second = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second->ReadAll(), "new");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(Files, OnlyRegularFilesWithinTheLimitAreReadAndNothingWaits) {
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
    const auto missing = ReadRegularFile(N(dir_ / "missing.html"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.problem().code, ENOENT);
    // Sparse: no disk space is used.
    WriteBytes(page_, "");
    ASSERT_EQ(::truncate(page_.c_str(), off_t(kMaxReadBytes + 1)), 0);
    const auto tooLarge = ReadRegularFile(N(page_));
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.problem().code, EFBIG);
    EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
}

// Holds within the process are shared: a nested taker does not wait, and its
// end leaves the outer hold in place for other processes to wait on.
TEST_F(Files, TheGenerateLockIsSharedWithinTheProcess) {
    const std::string path = dir_ / "QMgenerate.lock";
    auto outer = FileLock::Acquire(N(path), 5s);
    ASSERT_TRUE(outer && *outer);
    {
        auto nested = FileLock::Acquire(N(path), 0ms);
        EXPECT_TRUE(nested && *nested) << "a nested taker must not wait";
    }
    int probe = ::open(path.c_str(), O_RDWR);
    EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0) << "still held by the outer lock";
    outer->reset();
    EXPECT_EQ(::flock(probe, LOCK_EX | LOCK_NB), 0);
    ::close(probe);
}

const std::string kMarker = "<!-- MARK -->";
const std::string kNul(1, '\0');
const CopyMethod kCopyMethods[] = {CopyMethod::Chosen, CopyMethod::Kernel, CopyMethod::ReadWrite};

// A false start and the marker split at each of its bytes by a small
// buffer's edge; the text ends at its NUL.
TEST_F(Files, FindsAndReplacesAMarkerCutByTheBufferEdge) {
    const std::string falseStart = kMarker.substr(0, 12);
    for (std::size_t lead = 0; lead < kMarker.size(); ++lead) {
        SCOPED_TRACE(lead);
        const std::string head = std::string(lead, 'p') + falseStart;
        WriteBytes(page_, head + kMarker + "after" + kNul + "junk");
        auto at = FindMarkerInText(ReadOnlyFile::Open(N(page_))->descriptor(), kMarker, {5});
        ASSERT_TRUE(at && at->found);
        EXPECT_EQ(at->markerAt, head.size());
        auto file = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(file && ReplaceWithInsertion(*file, *at, kMarker.size(), kMarker + "NEW",
                                                 {5, kCopyMethods[lead % 3]}));
        EXPECT_EQ(ReadBytes(page_), head + kMarker + "NEWafter");
    }
    EXPECT_EQ(Entries(), 1u);
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

// Past the text's NUL, over a longer file, and told apart from a file that
// differs in its last byte only.
TEST_F(Files, ACopyHoldsEveryByteOfItsSource) {
    const std::string from = dir_ / "from.html";
    const std::string bytes = std::string(300000, 'c') + kNul + "after the text";
    WriteBytes(from, bytes);
    WriteBytes(page_, "an older, longer copy " + std::string(400000, 'o'));
    ASSERT_TRUE(ReplaceWithCopyOf(N(from), N(page_), {4096, CopyMethod::ReadWrite}));
    EXPECT_FALSE(ReplaceWithCopyOf(N(dir_ / "missing.html"), N(page_)));
    EXPECT_EQ(ReadBytes(page_), bytes);
    WriteBytes(dir_ / "other.html", bytes.substr(0, bytes.size() - 1) + "T");
    auto a = ReadOnlyFile::Open(N(page_)), b = ReadOnlyFile::Open(N(from)),
         c = ReadOnlyFile::Open(N(dir_ / "other.html"));
    EXPECT_EQ(SameContent(a->descriptor(), b->descriptor(), {4096}), true);
    EXPECT_EQ(SameContent(a->descriptor(), c->descriptor(), {4096}), false);
}

// A copy, a claim, a new page or a second name never lands on a taken name.
TEST_F(Files, NothingNewOverwritesAnExistingName) {
    const std::string proto = dir_ / "proto.html";
    WriteBytes(proto, "<p>" + kMarker + "</p>" + kNul + "junk");
    fs::permissions(proto, fs::perms(0440));
    WriteBytes(page_, "entries");
    WriteBytes(dir_ / ".tmp", "other");
    auto source = ReadOnlyFile::Open(N(proto));
    auto at = FindMarkerInText(source->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);
    const auto insertInto = [&](const std::string& to) {
        return WriteInsertionTo(source->descriptor(), *at, kMarker.size(), "E", N(to),
                                WriteTarget::CreateNew);
    };
    EXPECT_FALSE(CopyFileTo(N(proto), N(page_), true));
    const auto renamed = RenameIntoAbsentName(N(dir_ / ".tmp"), N(page_));
    ASSERT_FALSE(renamed);
    EXPECT_EQ(renamed.problem().code, EEXIST);
    EXPECT_FALSE(insertInto(page_));
    EXPECT_FALSE(LinkOrCopyFile(N(proto), N(page_)));
    EXPECT_EQ(ReadBytes(page_), "entries");
    EXPECT_EQ(ReadBytes(dir_ / ".tmp"), "other") << "the caller removes its temporary file";
    EXPECT_FALSE(LinkOrCopyFile(N(dir_ / "missing.html"), N(dir_ / "third.html")));
    // A new page under a free name takes its source's permissions.
    ASSERT_TRUE(insertInto(dir_ / "new.html"));
    EXPECT_EQ(ReadBytes(dir_ / "new.html"), "<p>E</p>");
    EXPECT_EQ(fs::status(dir_ / "new.html").permissions(), fs::perms(0440));
    EXPECT_EQ(Entries(), 4u);
}

}  // namespace
}  // namespace qm
