// What keeping a generate's record costs: the earlier page is the old file
// itself under a second name, never a copy, unless the record's folder is on
// another file system; and taking back works either way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/generate.h"
#include "engine/take_back.h"
#include "fake_host.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A set editing one page in place (no roll-over) with a current copy off;
// the program folder and the page's folder are given.
class TakeBackRecord : public ::testing::Test {
  protected:
    void Prepare(const std::string& programDir, const std::string& pageDir) {
        programDir_ = programDir;
        page_ = pageDir + "page.html";
        WriteBytes(programDir_ + "QMsys.ini", "[INI]\r\n0=diary\r\n");
        const std::string set = programDir_ + "diary.ini";
        ASSERT_TRUE(WriteProfileString(set, "FILEPATH", "ORIGINAL", page_));
        ASSERT_TRUE(WriteProfileString(set, "FILEPATH", "TEMPLET", programDir_ + "templet.txt"));
        WriteBytes(programDir_ + "templet.txt", "<h3>*!</h3>");
        WriteBytes(page_, "<html>" + kMarker + std::string(100000, 'p') + "</html>");
    }
    GenerateResult Generate(const std::string& title) {
        ActiveConfig config;
        InitConfig(config, programDir_);
        RunState run;
        EntryInput input;
        input.title = title;
        return GenerateCommand(config, run, input, host_);
    }

    FakeHost host_;
    FixedClock clock_{"2003-02-05 21:05:09"};
    std::string programDir_;
    std::string page_;
};

TEST_F(TakeBackRecord, TheEarlierPageIsTheOldFileItselfAndComesBack) {
    TempDir dir;
    Prepare(dir.dir(), dir.dir());
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::string afterFirst = ReadBytes(page_);
    const ino_t firstPage = InodeOf(page_);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    EXPECT_EQ(InodeOf(dir / "undo/page.before"), firstPage);
    EXPECT_NE(InodeOf(page_), firstPage);
    // Nothing staged is left behind once the record is kept.
    EXPECT_FALSE(fs::exists(dir / "undo/page.next"));

    EXPECT_EQ(TakeBackLastEntry(dir.dir(), false, host_).status, TakeBackStatus::TakenBack);
    EXPECT_EQ(ReadBytes(page_), afterFirst);
}

TEST_F(TakeBackRecord, ARecordOnAnotherFileSystemKeepsACopy) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no second file system at /dev/shm";
    TempDir pages;
    const fs::path program = fs::path("/dev/shm") / ("qm-take-back-" + std::to_string(::getpid()));
    fs::create_directory(program);
    Prepare(program.string() + "/", pages.dir());
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::string afterFirst = ReadBytes(page_);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(program.string() + "/undo/page.before"), afterFirst);

    // The same bytes written again in place are a change all the same.
    const std::string second = ReadBytes(page_);
    WriteBytes(page_, second);
    EXPECT_EQ(TakeBackLastEntry(programDir_, false, host_).status, TakeBackStatus::ChangedSince);
    EXPECT_EQ(ReadBytes(page_), second);
    fs::remove_all(program);
}

TEST_F(TakeBackRecord, AFailedGenerateLeavesNoStagedVersionAndTheOlderRecordStands) {
    TempDir dir;
    Prepare(dir.dir(), dir.dir());
    ASSERT_EQ(Generate("first"), GenerateResult::Written);
    const std::string afterFirst = ReadBytes(page_);
    ASSERT_EQ(Generate("second"), GenerateResult::Written);
    const std::string manifest = ReadBytes(dir / "undo/manifest.txt");

    // No marker: the entry is refused after the page was staged.
    WriteBytes(page_, "<html>no marker</html>");
    ASSERT_EQ(Generate("third"), GenerateResult::Failed);
    EXPECT_EQ(ReadBytes(dir / "undo/manifest.txt"), manifest);
    WriteBytes(page_, afterFirst);  // the user puts the page back by hand
    ASSERT_EQ(Generate("fourth"), GenerateResult::Written);
    EXPECT_FALSE(fs::exists(dir / "undo/page.next"));
    EXPECT_EQ(TakeBackLastEntry(dir.dir(), false, host_).status, TakeBackStatus::TakenBack);
    EXPECT_EQ(ReadBytes(page_), afterFirst);
}

}  // namespace
}  // namespace qm::test
