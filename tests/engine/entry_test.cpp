#include "engine/entry.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kNul(1, '\0');

TEST(MarkerInsertion, BelowTheFirstOfTwoMarkers) {
    const Insertion r = InsertAtMarker("a" + kMarker + "b" + kMarker, kMarker + "E", kMarker);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.page, "a" + kMarker + "Eb" + kMarker);
}

TEST(InsertEntry, ReadsThePageToItsNulAndWritesOneBack) {
    test::TempDir dir;
    test::FakeHost host;
    ActiveConfig config;
    config.programDir = dir.dir();
    const std::string page = dir / "page.html";
    WriteBytes(dir / "temp.tmp", kMarker + "\r\nE" + kNul);
    WriteBytes(page, kMarker + "</body>" + kNul + "junk" + kMarker + kNul);
    ::chmod(page.c_str(), 0444);
    ASSERT_TRUE(InsertEntry(config, page, host));
    EXPECT_TRUE(test::OwnerCanWrite(page));
    EXPECT_EQ(ReadBytes(page), kMarker + "\r\nE</body>" + kNul);

    const std::string voidMarker = "head" + kNul + kMarker;  // after the NUL: not there
    WriteBytes(page, voidMarker);
    EXPECT_FALSE(InsertEntry(config, page, host));
    EXPECT_EQ(host.messages,
              std::vector<std::string>{test::Said(msg::kNoMarkerText, msg::kNoMarkerCaption)});
    EXPECT_EQ(ReadBytes(page), voidMarker);
}

}  // namespace
}  // namespace qm
