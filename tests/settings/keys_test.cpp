// What a first start and a missing set file read as, through the key tables.
#include "settings/keys.h"

#include <gtest/gtest.h>

#include "settings/numbered_list.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

TEST(KeysTest, MissingSystemFileReadsAsAFirstStart) {
    test::TempDir dir;
    const std::string ini = dir / std::string(kSystemIniName);
    EXPECT_EQ(ReadKey(ini, syskeys::kUp), 0);
    EXPECT_EQ(ReadKey(ini, syskeys::kCurrent), 0);
    EXPECT_EQ(ReadKey(ini, syskeys::kWidth), 565);
    EXPECT_EQ(ReadKey(ini, syskeys::kHeight), 499);
    EXPECT_EQ(CountListEntries(ini, syskeys::kSetListSection), 0);
    // "*m月*d日以降の日記"
    EXPECT_EQ(ReadKey(ini, syskeys::kLogTitle),
              "*m\x8c\x8e*d\x93\xfa\x88\xc8\x8d\x7e\x82\xcc\x93\xfa\x8b\x4c");
}

TEST(KeysTest, MissingSetFileReadsAsTheDefaults) {
    test::TempDir dir;
    const std::string ini = dir / "set.ini";
    EXPECT_EQ(ReadKey(ini, setkeys::kOriginal), "original.html");
    EXPECT_EQ(ReadKey(ini, setkeys::kTemplet), "templet.txt");
    EXPECT_EQ(ReadKey(ini, setkeys::kFtp), "tavmo/tavmo.exe");
    EXPECT_EQ(ReadKey(ini, setkeys::kCurrentName), "diary-current.html");
    EXPECT_EQ(ReadKey(ini, setkeys::kLog), "");
    EXPECT_EQ(ReadKey(ini, setkeys::kEdit), 0);
    EXPECT_EQ(ReadKey(ini, setkeys::kCurrent), 0);
    EXPECT_EQ(ReadKey(ini, setkeys::kAlways1), 0);
}

TEST(KeysTest, PathKeysHoldAtMost259Bytes) {
    test::TempDir dir;
    const std::string ini = dir / "set.ini";
    const std::string longPath(300, 'p');
    ASSERT_TRUE(WriteKey(ini, setkeys::kOriginal, longPath));
    EXPECT_EQ(ReadKey(ini, setkeys::kOriginal), std::string(259, 'p'));
    ASSERT_TRUE(WriteKey(ini, setkeys::kEdit, 3));
    EXPECT_EQ(ReadKey(ini, setkeys::kEdit), 3);
}

}  // namespace
}  // namespace qm
