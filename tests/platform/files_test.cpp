#include "platform/files.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "files_fixture.h"
#include "platform/encoding.h"
#include "platform/file_lock.h"
#include "platform/scratch_file.h"
#include "platform/stream_replace.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::ReadBytes;
using test::WriteBytes;
using namespace std::chrono_literals;

// Another process's try at the lock every holder takes.
bool OthersCanLock(const std::string& path) {
#ifdef _WIN32
    HANDLE probe = ::CreateFileW(FsPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    const bool locked =
        ::LockFileEx(probe, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
    ::CloseHandle(probe);
#else
    const int probe = ::open(path.c_str(), O_RDWR);
    const bool locked = ::flock(probe, LOCK_EX | LOCK_NB) == 0;
    ::close(probe);
#endif
    return locked;
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
    EXPECT_FALSE(OthersCanLock(path)) << "still held by the outer lock";
    outer->reset();
    EXPECT_TRUE(OthersCanLock(path));
}

// A second holder is refused until the first closes, also after its replaces;
// a held page stays readable by others (a browser, an editor).
TEST_F(Files, TheLockRefusesASecondHolderAndHoldsAcrossAReplace) {
    WriteBytes(page_, "old");
    {
        auto first = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
        EXPECT_EQ(ReadBytes(page_), "old");
        ASSERT_TRUE(first->Replace("new"));
        EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
        EXPECT_EQ(*first->ReadAll(), "new");
    }
    auto second = LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second->ReadAll(), "new");
    EXPECT_EQ(Entries(), 1u);
}

// A missing file and one past the read limit (sparse: no disk space is used).
TEST_F(Files, AMissingOrTooLargeFileIsRefusedWithItsReason) {
    const auto missing = ReadRegularFile(N(dir_ / "missing.html"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.problem().code, ENOENT);
    WriteBytes(page_, "");
    fs::resize_file(page_, kMaxReadBytes + 1);
    const auto tooLarge = ReadRegularFile(N(page_));
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.problem().code, EFBIG);
    EXPECT_FALSE(LockedFile::Open(N(page_), LockedFile::Mode::OpenExisting));
}

const std::string kNul(1, '\0');

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
#ifndef _WIN32
    EXPECT_EQ(fs::status(dir_ / "new.html").permissions(), fs::perms(0440));
#endif
    EXPECT_EQ(Entries(), 4u);
}

}  // namespace
}  // namespace qm
