// What a first start and a missing set file read as, through the key tables.
#include "settings/keys.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qm {
namespace {

TEST(KeysTest, MissingFilesReadAsAFirstStartAndPathsHoldAtMost259Bytes) {
    test::TempDir dir;
    const std::string sys = dir / "QMsys.ini", set = dir / "set.ini";
    EXPECT_EQ((std::vector{ReadKey(sys, syskeys::kUp), ReadKey(sys, syskeys::kCurrent),
                           ReadKey(sys, syskeys::kWidth), ReadKey(sys, syskeys::kHeight),
                           ReadKey(set, setkeys::kEdit), ReadKey(set, setkeys::kAlways1)}),
              (std::vector{0, 0, 565, 499, 0, 0}));
    EXPECT_EQ(
        ReadKey(sys, syskeys::kLogTitle),
        "*m\x8c\x8e*d\x93\xfa\x88\xc8\x8d\x7e\x82\xcc\x93\xfa\x8b\x4c");  // *m月*d日以降の日記
    EXPECT_EQ((std::vector{ReadKey(set, setkeys::kOriginal), ReadKey(set, setkeys::kTemplet),
                           ReadKey(set, setkeys::kFtp), ReadKey(set, setkeys::kCurrentName),
                           ReadKey(set, setkeys::kLog)}),
              (std::vector<std::string>{"original.html", "templet.txt", "tavmo/tavmo.exe",
                                        "diary-current.html", ""}));
    ASSERT_TRUE(WriteKey(set, setkeys::kOriginal, std::string(300, 'p')));
    EXPECT_EQ(ReadKey(set, setkeys::kOriginal), std::string(259, 'p'));
}

}  // namespace
}  // namespace qm
