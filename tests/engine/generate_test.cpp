#include "engine/generate.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "settings/profile.h"

namespace qm::test {
namespace {

using Flow = DiaryFolder;

TEST_F(Flow, APageLockedByAnotherRunIsLeftWhole) {
    WriteBytes(Web("diary03-Feb.html"), kFolderPrototype);
    auto holder = LockedFile::Open(N(Web("diary03-Feb.html")), LockedFile::Mode::OpenExisting);
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(Page(), kFolderPrototype);
    EXPECT_FALSE(FileExists(N(Web("diary-current.html"))));
}

TEST_F(Flow, PrototypeInAFolderHoldingTen) {
    // 十 is 0x8F 0x5C: its second byte looks like a backslash.
    fs::create_directory(FsPath(dir_.dir() + "日記十"));
    WriteBytes(dir_.dir() + "日記十/原型十.html", kFolderPrototype);
    SetKey("ORIGINAL", dir_.dir() + Sjis("日記十\\原型十.html"));
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_NE(ReadBytes(dir_.dir() + "日記十/diary03-Feb.html").find("<h3>t</h3>"),
              std::string::npos);
}

TEST_F(Flow, AStoredSetIndexOutsideTheListFallsBackToTheFirst) {
    WriteBytes(dir_ / "QMsys.ini", "[STATE]\r\nCURRENT=2\r\n[INI]\r\n0=a\r\n1=b\r\n");
    SystemState state;
    LoadConfiguration(config_, run_, state, host_);
    EXPECT_EQ(run_.currentSetIndex, 0);
    EXPECT_EQ(config_.configIniPath, dir_ / "a.ini");
}

// Read once each, every key of an operation comes from one version of a
// file: a read failing midway cannot turn single keys into their defaults.
TEST_F(Flow, LoadingAndARollingOverGenerateReadEachSettingsFileOnce) {
    SystemState state;
    std::size_t before = SettingsFileReads();
    ASSERT_TRUE(LoadConfiguration(config_, run_, state, host_));
    EXPECT_EQ(SettingsFileReads() - before, 2u);
    ASSERT_TRUE(RemoveFile(N(Web("diary03-Feb.html"))));
    before = SettingsFileReads();
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(SettingsFileReads() - before, 2u);
    EXPECT_NE(ReadBytes(Web("log.html")).find("diary03-Feb.html"), std::string::npos);
}

}  // namespace
}  // namespace qm::test
