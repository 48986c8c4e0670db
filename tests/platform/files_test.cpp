#include "platform/files.h"

#include <gtest/gtest.h>

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
using test::ReadBytes;
using test::WriteBytes;
using namespace std::chrono_literals;

// A second holder is refused until the first closes, also after its replaces.
TEST_F(Files, TheLockRefusesASecondHolderAndHoldsAcrossAReplace) {
    WriteBytes(page_, "old");
    {
        auto first = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(first);
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        ASSERT_TRUE(first->Replace("new"));
        EXPECT_FALSE(LockedFile::Open(page_, LockedFile::Mode::OpenExisting));
        EXPECT_EQ(*first->ReadAll(), "new");
    }
    auto second = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second->ReadAll(), "new");
    EXPECT_EQ(Entries(), 1u);
}

const std::string kNul(1, '\0');

// The streamed insertion against the plain rule it replaces: a page's text
// ends at its first NUL, the first marker before it is replaced, one NUL
// follows. Small buffers put the marker and the NUL on every buffer edge.
TEST_F(Files, FindsAndReplacesTheFirstMarkerOnEveryBufferEdgeWithEachWayOfCopying) {
    // Marker first, last, split at each byte by the buffer's edge, twice,
    // after a NUL, cut short, none at all, and a page of many buffers.
    std::vector<std::string> pages = {
        "", kNul, kMarker, "head" + kNul + kMarker, "<<<!-- MARK -->>>", kMarker.substr(0, 12),
        "<html>" + kMarker + "<p>old</p>" + kMarker + "</html>" + kNul + "junk" + kNul,
        "he" + kNul + "ad" + kMarker + kNul, "<!-- MARK --" + kMarker + "\r\n",
        kMarker.substr(0, 7) + kNul + kMarker.substr(7) + kMarker,
        std::string(70000, 'a') + kMarker + std::string(70000, 'b'),
        // Cut by the edges of the search's growing reads: 64 KiB, then 128 KiB more.
        std::string(65536 - 5, 'a') + kMarker,
        std::string(65536 + 131072 - 5, 'a') + kMarker + "z"};
    for (std::size_t lead = 0; lead < 2 * kMarker.size() + 3; ++lead) {
        pages.push_back(std::string(lead, 'p') + kMarker + "after" + kNul + "junk");
    }
    for (const std::string& page : pages) {
        const std::string_view text = TextUpToNul(page);
        const auto want = text.find(kMarker);
        for (const std::size_t buffer : std::initializer_list<std::size_t>{
                 1, 2, 3, 5, 12, 13, 14, 26, 4096, StreamOptions{}.bufferSize}) {
            if (page.size() > 1000 && (buffer < 12 || (buffer > 14 && buffer < 4096)))
                continue;  // each copy once
            SCOPED_TRACE("page '" + page.substr(0, 40) + "', buffer " + std::to_string(buffer));
            WriteBytes(page_, page);
            auto at = FindMarkerInText(ReadOnlyFile::Open(page_)->descriptor(), kMarker, {buffer});
            ASSERT_TRUE(at);
            ASSERT_EQ(at->found, want != std::string_view::npos);
            EXPECT_EQ(at->found ? at->markerAt : at->textEnd, at->found ? want : text.size());
            if (!at->found) continue;
            // The way of copying takes turns over the pages and buffer sizes.
            const CopyMethod copy = kCopyMethods[(page.size() + buffer) % 3];
            auto file = LockedFile::Open(page_, LockedFile::Mode::OpenExisting);
            ASSERT_TRUE(file && ReplaceWithInsertion(*file, *at, kMarker.size(), kMarker + "NEW",
                                                     {buffer, copy}))
                << static_cast<int>(copy);
            EXPECT_EQ(ReadBytes(page_), std::string(text.substr(0, want)) + kMarker + "NEW" +
                                            std::string(text.substr(want + kMarker.size())) + kNul);
        }
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
    ASSERT_TRUE(ReplaceWithCopyOf(from, page_, {4096, CopyMethod::ReadWrite}));
    EXPECT_FALSE(ReplaceWithCopyOf(dir_ / "missing.html", page_));
    EXPECT_EQ(ReadBytes(page_), bytes);
    WriteBytes(dir_ / "other.html", bytes.substr(0, bytes.size() - 1) + "T");
    auto a = ReadOnlyFile::Open(page_), b = ReadOnlyFile::Open(from),
         c = ReadOnlyFile::Open(dir_ / "other.html");
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
    auto source = ReadOnlyFile::Open(proto);
    auto at = FindMarkerInText(source->descriptor(), kMarker);
    ASSERT_TRUE(at && at->found);
    const auto insertInto = [&](const std::string& to) {
        return WriteInsertionTo(source->descriptor(), *at, kMarker.size(), "E", to,
                                WriteTarget::CreateNew);
    };
    EXPECT_FALSE(CopyFileTo(proto, page_, true));
    const auto renamed = RenameIntoAbsentName(NativePath(dir_ / ".tmp"), NativePath(page_));
    ASSERT_FALSE(renamed);
    EXPECT_EQ(renamed.problem().code, EEXIST);
    EXPECT_FALSE(insertInto(page_));
    EXPECT_FALSE(LinkOrCopyFile(proto, page_));
    EXPECT_EQ(ReadBytes(page_), "entries");
    EXPECT_EQ(ReadBytes(dir_ / ".tmp"), "other") << "the caller removes its temporary file";
    EXPECT_FALSE(LinkOrCopyFile(dir_ / "missing.html", dir_ / "third.html"));
    // A new page under a free name takes its source's permissions.
    ASSERT_TRUE(insertInto(dir_ / "new.html"));
    EXPECT_EQ(ReadBytes(dir_ / "new.html"), "<p>E</p>" + kNul);
#ifndef _WIN32
    EXPECT_EQ(fs::status(dir_ / "new.html").permissions(), fs::perms(0440));
#endif
    EXPECT_EQ(Entries(), 4u);
}

}  // namespace
}  // namespace qm
