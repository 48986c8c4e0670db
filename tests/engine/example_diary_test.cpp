// Starting from the example diary: all of it, or nothing.
#include "engine/example_diary.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const char* const kFiles[] = {"example.ini", "original.html", "templet.txt", "log.html"};

// A file of the program folder's own is never overwritten, a missing example
// file or a full disk copies nothing, and otherwise every file arrives whole.
TEST(ExampleDiary, IsCopiedWholeOrNotAtAll) {
    TempDir example, home;
    for (const char* name : kFiles)
        WriteBytes(example / name, std::string(name == kFiles[0] ? 100 : 5000, name[0]));
    WriteBytes(home / "log.html", "mine");
    using Outcome = ExampleCopy::Outcome;
    ExampleCopy copy = CopyExampleDiary(example.dir(), home.dir());
    EXPECT_EQ(copy.outcome, Outcome::Exists);
    EXPECT_EQ(copy.path, home / "log.html");
    fs::remove(home / "log.html");
#ifndef _WIN32
    {
        const FileSizeLimit full(1000);  // the set file fits, the prototype does not
        copy = CopyExampleDiary(example.dir(), home.dir());
        EXPECT_EQ(copy.outcome, Outcome::NotCopied);
        EXPECT_EQ(copy.path, home / "original.html");
    }
#endif
    fs::remove(example / "templet.txt");
    EXPECT_EQ(CopyExampleDiary(example.dir(), home.dir()).outcome, Outcome::Missing);
    EXPECT_TRUE(fs::is_empty(home.dir())) << "nothing half-copied stays";

    WriteBytes(example / "templet.txt", "t");
    ASSERT_EQ(CopyExampleDiary(example.dir(), home.dir()).outcome, Outcome::Copied);
    for (const char* name : kFiles) EXPECT_EQ(ReadBytes(home / name), ReadBytes(example / name));
}

}  // namespace
}  // namespace qm::test
