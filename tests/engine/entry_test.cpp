#include "engine/entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_host.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kNul(1, '\0');

TEST(InsertEntry, BelowTheFirstMarkerOfThePageReadToItsNul) {
    TempDir dir;
    FakeHost host;
    ActiveConfig config;
    config.programDir = dir.dir();
    const std::string page = dir / "page.html";
    WriteBytes(dir / "temp.tmp", kMarker + "\r\nE" + kNul);
    WriteBytes(page, kMarker + "</body>" + kMarker + kNul + "junk" + kNul);
    fs::permissions(page, fs::perms::owner_read);
    ASSERT_TRUE(InsertEntry(config, page, host));
    EXPECT_NE(fs::status(page).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadBytes(page), kMarker + "\r\nE</body>" + kMarker + kNul);

    const std::string voidMarker = "head" + kNul + kMarker;  // after the NUL: not there
    WriteBytes(page, voidMarker);
    EXPECT_FALSE(InsertEntry(config, page, host));
    EXPECT_EQ(host.messages,
              std::vector<std::string>{Said(msg::kNoMarkerText, msg::kNoMarkerCaption)});
    EXPECT_EQ(ReadBytes(page), voidMarker);
}

}  // namespace
}  // namespace qm::test
