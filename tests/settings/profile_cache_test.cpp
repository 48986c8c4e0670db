// A settings file kept from an earlier read is read again as soon as another
// writer has changed it, however that writer went about it.
#include "settings/profile_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "settings/numbered_list.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Files count as at rest as soon as they are read, so that only their times
// tell whether they changed; the test of quick changes keeps the real margin.
class SettingsCache : public ::testing::Test {
  protected:
    SettingsCache() { SetSettingsSettleTime(std::chrono::nanoseconds(0)); }
    ~SettingsCache() override { SetSettingsSettleTime(std::chrono::seconds(2)); }

    // Settings as their writer left them, dated an hour back.
    void WriteAtRest(const std::string& path, std::string_view content) {
        test::WriteBytes(path, content);
        fs::last_write_time(path, fs::file_time_type::clock::now() - 1h);
    }
    std::string Value(std::string_view key = "k") {
        return ReadProfileString(ini_, "S", key, "missing", 256);
    }

    test::TempDir dir_;
    const std::string ini_ = dir_ / "QMsys.ini";
};

TEST_F(SettingsCache, AFileChangedByAnotherWriterOrThisOneIsReadAgain) {
    WriteAtRest(ini_, "[S]\r\nk=1\r\n");
    ASSERT_EQ(Value(), "1");
    const auto stamp = fs::last_write_time(ini_);

    // Replaced through a rename, as this program writes, with the same size
    // and the same modification time: another file all the same.
    const std::string temp = dir_ / "temp";
    test::WriteBytes(temp, "[S]\r\nk=2\r\n");
    fs::last_write_time(temp, stamp);
    fs::rename(temp, ini_);
    EXPECT_EQ(Value(), "2");

    // Rewritten in place with the same size, dated back by its writer.
    WriteAtRest(ini_, "[S]\r\nk=3\r\n");
    EXPECT_EQ(Value(), "3");

    // Removed, then made again.
    fs::remove(ini_);
    EXPECT_EQ(Value(), "missing");
    WriteAtRest(ini_, "[S]\r\nk=5\r\n");
    EXPECT_EQ(Value(), "5");

    // And this program's own writes.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(WriteProfileInt(ini_, "S", "k", i));
        ASSERT_EQ(Value(), std::to_string(i));
    }
}

TEST_F(SettingsCache, ChangesFasterThanTheFileSystemClockAreNotMissed) {
    // In place, same size, faster than a coarse file system clock ticks: the
    // file's times may stay the same, and only its bytes tell. A file that
    // changed lately is therefore read on every lookup.
    SetSettingsSettleTime(std::chrono::hours(1));
    test::WriteBytes(ini_, "[S]\r\nk=0\r\n");
    ASSERT_EQ(Value(), "0");
    for (int i = 0; i < 200; ++i) {
        const std::string value = std::to_string(i % 10);
        test::WriteBytes(ini_, "[S]\r\nk=" + value + "\r\n");  // in place, same size
        ASSERT_EQ(Value(), value) << i;
        ASSERT_EQ(Value(), value) << i;
    }
}

TEST_F(SettingsCache, OneListReadGivesWhatEachLookupGives) {
    // Doubled names (the first counts), blanks, quotes, a gap, a value cut in
    // front of a double-byte character, and a second section of the same name.
    test::WriteBytes(ini_,
                     "[INI]\r\n 0 = first \r\n0=second\r\n1=\"quoted \"\r\n3=three\r\n"
                     "4=abcd\x93\xfa\r\n[ini]\r\n2=ignored\r\n");
    const auto entries = ReadListEntries(ini_, "ini", 6, 6);
    ASSERT_EQ(entries.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(entries[static_cast<std::size_t>(i)], ReadListEntry(ini_, "INI", i, 6)) << i;
    EXPECT_EQ(entries, (std::vector<std::string>{"first", "quote", "", "three", "abcd", ""}));
    EXPECT_TRUE(ReadListEntries(dir_ / "missing.ini", "INI", 2, 256) ==
                (std::vector<std::string>{"", ""}));
}

}  // namespace
}  // namespace qm
