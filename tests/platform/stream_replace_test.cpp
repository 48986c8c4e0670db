// The streamed insertion against the plain rule it replaces: a page's text
// ends at its first NUL, the first marker before it is replaced, one NUL
// follows. Small buffers put the marker and the NUL on every buffer edge.
#include "platform/stream_replace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/scratch_file.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

const std::string kMarker = "<!-- MARK -->";
const std::string kNul(1, '\0');
const CopyMethod kCopyMethods[] = {CopyMethod::Chosen, CopyMethod::Kernel, CopyMethod::ReadWrite};

// What a page holds after the insertion, by the plain rule; "" when the
// text holds no marker.
std::string Expected(std::string_view page, std::string_view insert) {
    const std::string_view text = TextUpToNul(page);
    const auto at = text.find(kMarker);
    if (at == std::string_view::npos) return "";
    return std::string(text.substr(0, at)) + std::string(insert) +
           std::string(text.substr(at + kMarker.size())) + kNul;
}

class StreamReplace : public ::testing::Test {
  protected:
    // Scans the page file with `options`.
    std::optional<MarkerSearch> Scan(const StreamOptions& options) {
        const int fd = ::open(path_.c_str(), O_RDONLY);
        auto at = FindMarkerInText(fd, kMarker, options);
        ::close(fd);
        return at;
    }
    std::size_t Entries() const {
        return std::distance(fs::directory_iterator(dir_.dir()), fs::directory_iterator());
    }

    test::TempDir dir_;
    const std::string path_ = dir_ / "page.html";
};

TEST_F(StreamReplace, FindsAndReplacesTheFirstMarkerOnEveryBufferEdgeWithEachWayOfCopying) {
    // Marker first, last, split at each byte by the buffer's edge, twice,
    // after a NUL, cut short, none at all, and a page of many buffers.
    std::vector<std::string> pages = {
        "",
        kNul,
        kMarker,
        "head" + kNul + kMarker,
        "<<<!-- MARK -->>>",
        kMarker.substr(0, 12),
        "<html>" + kMarker + "<p>old</p>" + kMarker + "</html>" + kNul + "junk" + kNul,
        "he" + kNul + "ad" + kMarker + kNul,
        "<!-- MARK --" + kMarker + "\r\n",
        kMarker.substr(0, 7) + kNul + kMarker.substr(7) + kMarker,
        std::string(70000, 'a') + kMarker + std::string(70000, 'b')};
    for (std::size_t lead = 0; lead < 2 * kMarker.size() + 3; ++lead) {
        pages.push_back(std::string(lead, 'p') + kMarker + "after" + kNul + "junk");
    }
    for (const std::string& page : pages) {
        const std::string_view text = TextUpToNul(page);
        const auto want = text.find(kMarker);
        for (std::size_t buffer : {1, 2, 3, 5, 12, 13, 14, 26, 4096}) {
            const std::string what =
                "page '" + page.substr(0, 40) + "', buffer " + std::to_string(buffer);
            if (page.size() > 1000 && (buffer < 12 || buffer > 14)) continue;  // each copy once
            WriteBytes(path_, page);
            auto at = Scan({buffer});
            ASSERT_TRUE(at) << what;
            ASSERT_EQ(at->found, want != std::string_view::npos) << what;
            EXPECT_EQ(at->found ? at->markerAt : at->textEnd, at->found ? want : text.size())
                << what;
            if (!at->found) continue;
            // Each page and buffer size written once, the way of copying taking turns.
            const CopyMethod copy = kCopyMethods[(page.size() + buffer) % 3];
            WriteBytes(path_, page);
            auto file = LockedFile::Open(path_, LockedFile::Mode::OpenExisting);
            ASSERT_TRUE(file && ReplaceWithInsertion(*file, *at, kMarker.size(), kMarker + "NEW",
                                                     {buffer, copy}))
                << what << " method " << static_cast<int>(copy);
            EXPECT_EQ(ReadBytes(path_), Expected(page, kMarker + "NEW")) << what;
        }
    }
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(StreamReplace, AFullDiskLeavesThePageWholeAndNoTemporaryFile) {
    // Either side of the marker alone fills the disk.
    const std::string page = std::string(20000, 'x') + kMarker + std::string(20000, 'y');
    WriteBytes(path_, page);
    auto file = LockedFile::Open(path_, LockedFile::Mode::OpenExisting);
    auto at = FindMarkerInText(file->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);
    for (CopyMethod copy : kCopyMethods) {
        test::FileSizeLimit fullDisk(8192);
        EXPECT_FALSE(ReplaceWithInsertion(*file, *at, kMarker.size(), "entry", {4096, copy}));
    }
    EXPECT_EQ(ReadBytes(path_), page);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(StreamReplace, APageCutShortUnderTheScanIsNotWrittenFrom) {
    WriteBytes(path_, std::string(5000, 'x') + kMarker);
    auto file = LockedFile::Open(path_, LockedFile::Mode::OpenExisting);
    auto at = FindMarkerInText(file->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);
    ASSERT_EQ(::truncate(path_.c_str(), 100), 0);
    for (CopyMethod copy : kCopyMethods) {
        EXPECT_FALSE(ReplaceWithInsertion(*file, *at, kMarker.size(), "e", {512, copy}));
    }
    EXPECT_EQ(ReadBytes(path_), std::string(100, 'x'));
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(StreamReplace, ANewPageNeverOverwritesOneThatExistsAndTakesTheSourcesPermissions) {
    const std::string proto = dir_ / "proto.html";
    WriteBytes(proto, "<p>" + kMarker + "</p>" + kNul + "junk");
    fs::permissions(proto, fs::perms::owner_read | fs::perms::group_read);
    auto source = ReadOnlyFile::Open(proto);
    ASSERT_TRUE(source);
    auto at = FindMarkerInText(source->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);

    const std::string made = dir_ / "new.html";
    ASSERT_TRUE(WriteInsertionTo(source->descriptor(), *at, kMarker.size(), "E", made,
                                 WriteTarget::CreateNew));
    EXPECT_EQ(ReadBytes(made), "<p>E</p>" + kNul);
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_read | fs::perms::group_read);

    WriteBytes(path_, "someone else's page");
    EXPECT_FALSE(WriteInsertionTo(source->descriptor(), *at, kMarker.size(), "E", path_,
                                  WriteTarget::CreateNew));
    EXPECT_EQ(ReadBytes(path_), "someone else's page");
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(StreamReplace, ACopyHoldsEveryByteOfItsSource) {
    const std::string from = dir_ / "from.html";
    const std::string bytes = std::string(300000, 'c') + kNul + "after the text";
    WriteBytes(from, bytes);
    WriteBytes(path_,
               "an older, longer copy than the page it will hold " + std::string(400000, 'o'));
    for (CopyMethod copy : kCopyMethods) {
        ASSERT_TRUE(ReplaceWithCopyOf(from, path_, {4096, copy}));
        EXPECT_EQ(ReadBytes(path_), bytes);
    }
    EXPECT_FALSE(ReplaceWithCopyOf(dir_ / "missing.html", path_));
    EXPECT_EQ(ReadBytes(path_), bytes);
}

TEST_F(StreamReplace, ASecondNameIsALinkNeverOverAnotherFile) {
    WriteBytes(path_, "the page");
    const std::string second = dir_ / "second.html";
    ASSERT_TRUE(LinkOrCopyFile(path_, second));
    EXPECT_EQ(fs::hard_link_count(path_), 2u);
    WriteBytes(dir_ / "taken.html", "someone else's");
    EXPECT_FALSE(LinkOrCopyFile(path_, dir_ / "taken.html"));
    EXPECT_EQ(ReadBytes(dir_ / "taken.html"), "someone else's");
    EXPECT_FALSE(LinkOrCopyFile(dir_ / "missing.html", dir_ / "third.html"));
    EXPECT_FALSE(fs::exists(dir_ / "third.html"));

    auto a = ReadOnlyFile::Open(path_);
    auto b = ReadOnlyFile::Open(second);
    EXPECT_EQ(SameContent(a->descriptor(), b->descriptor(), {3}), true);
    WriteBytes(dir_ / "other.html", "the pagE");
    auto c = ReadOnlyFile::Open(dir_ / "other.html");
    EXPECT_EQ(SameContent(a->descriptor(), c->descriptor(), {3}), false);
}

TEST_F(StreamReplace, AScratchFileIsEmptiedAndWrittenUnlessSomeoneHoldsIt) {
    WriteBytes(path_, std::string(1000, 'o'));
    ASSERT_TRUE(WriteScratchFile(path_, "entry" + kNul));
    EXPECT_EQ(ReadBytes(path_), "entry" + kNul);
    {
        auto holder = LockedFile::Open(path_, LockedFile::Mode::OpenExisting);
        EXPECT_FALSE(WriteScratchFile(path_, "other"));
    }
    EXPECT_EQ(ReadBytes(path_), "entry" + kNul);
    EXPECT_FALSE(WriteScratchFile(dir_ / "no/such/folder/temp.tmp", "x"));

    // Replaced whole or not at all, with nothing left beside it.
    const std::string record = dir_ / "record.txt";
    ASSERT_TRUE(ReplaceScratchFile(record, "first\n"));
    {
        test::FileSizeLimit fullDisk(4);
        EXPECT_FALSE(ReplaceScratchFile(record, "second\n"));
    }
    EXPECT_EQ(ReadBytes(record), "first\n");
    ASSERT_TRUE(ReplaceScratchFile(record, "third\n"));
    EXPECT_EQ(ReadBytes(record), "third\n");
    EXPECT_EQ(Entries(), 2u);
}

}  // namespace
}  // namespace qm
