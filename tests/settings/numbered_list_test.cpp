#include "settings/numbered_list.h"

#include <gtest/gtest.h>

#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

TEST(NumberedList, RemovalShiftsLaterEntriesDownAndLeavesOtherSectionsAlone) {
    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini", longName(600, 'x');  // moved whole
    for (const std::string& name : {std::string("A"), std::string("B"), longName}) {
        ASSERT_TRUE(AppendListEntry(ini, "INI", name));
    }
    ASSERT_TRUE(WriteProfileInt(ini, "STATE", "CURRENT", 2));
    ASSERT_TRUE(RemoveListEntry(ini, "INI", 0));
    EXPECT_FALSE(RemoveListEntry(ini, "INI", 2));
    EXPECT_EQ(test::ReadBytes(ini),
              "[INI]\r\n0=B\r\n1=" + longName + "\r\n[STATE]\r\nCURRENT=2\r\n");
}

TEST(NumberedList, EmptyTagListIsSeededOnceWithTheRule) {
    test::TempDir dir;
    const std::string ini = dir / "QMsys.ini";
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(CountTagEntries(ini), 1);
    EXPECT_EQ(test::ReadBytes(ini),
              "[TAG]\r\n0=<HR>\r\n[TAG_PREFIX]\r\n0=<HR>\r\n[TAG_SUFFIX]\r\n0=\r\n");
}

}  // namespace
}  // namespace qm
