#include "engine/entry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(InsertEntry, MarkerFirstOrLastAndAPageWithoutMarkerKeepsItsVeryFile) {
    TempDir dir;
    FakeHost host;
    const std::string page = dir / "page.html";
    const std::string entry = kMarker + "\r\nE";
    WriteBytes(page, kMarker + "</body>");
    ASSERT_TRUE(InsertEntryText(page, entry, host));
    EXPECT_EQ(ReadBytes(page), entry + "</body>" + kNul);
    WriteBytes(page, "<body>" + kMarker);
    ASSERT_TRUE(InsertEntryText(page, entry, host));
    EXPECT_EQ(ReadBytes(page), "<body>" + entry + kNul);

    // Not rewritten at all: the same file, not a copy of it.
    WriteBytes(page, "<body>" + kMarker.substr(0, 10) + kNul + kMarker);
    const auto permissions = fs::status(page).permissions();
    struct stat before {};
    ::stat(page.c_str(), &before);
    EXPECT_FALSE(InsertEntryText(page, entry, host));
    struct stat after {};
    ::stat(page.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(fs::status(page).permissions(), permissions);
    EXPECT_EQ(ReadBytes(page), "<body>" + kMarker.substr(0, 10) + kNul + kMarker);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), {}), 1);
    EXPECT_TRUE(host.messages.size() == 1 &&
                host.messages[0] == Said(msg::kNoMarkerText, msg::kNoMarkerCaption));
}

}  // namespace
}  // namespace qm::test
