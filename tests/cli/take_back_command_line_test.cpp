// `quillmaker undo` on the real program and a fresh copy of the example diary.
#include "example_folder.h"
#include "platform/encoding.h"

namespace qm::test {
namespace {

using UndoProgram = ExampleFolder;

// Two generates on two days: undo gives the page after the first and says
// what it restored, then has nothing left. What stops an undo is the engine's
// to check.
TEST_F(UndoProgram, AfterTwoGeneratesThePageIsAsAfterTheFirst) {
    ASSERT_EQ(Run(Generate("一")), 0) << stderr_;
    const std::string afterFirst = Page();
    now_ = "2026-12-08 21:05:09";
    ASSERT_EQ(Run(Generate("二")), 0) << stderr_;
    now_ = "2026-12-08 22:00:00";
    ASSERT_EQ(Run({"undo"}), 0) << stderr_;
    EXPECT_EQ(Page(), afterFirst);
    EXPECT_EQ(stdout_, "restored " + (dir_ / "diary26-Dec.html") + "\nrestored " +
                           (dir_ / "diary-current.html") + "\nrestored " + (dir_ / "atom.xml") +
                           "\nthe entry's title and text are kept in " +
                           (dir_ / "QMlastentry.txt") + "\n");
    EXPECT_NE(ReadBytes(dir_ / "QMlastentry.txt").find(Utf8ToCp932("二").value()),
              std::string::npos);
    EXPECT_EQ(Run({"undo"}), 1);
    EXPECT_EQ(stderr_, "quillmaker undo: there is no entry to take back\n");
    EXPECT_EQ(Page(), afterFirst);
}

#ifndef _WIN32  // a shell stand-in for the upload tool
// The month's first entry started the page: it goes with its log link. A
// missing upload tool is said after writing and after taking back; found in
// the helper folder, it gets the log page, all that is left to send.
TEST_F(UndoProgram, APageTheGenerateStartedGoesWithItsLinkAndTheUploadGetsTheRest) {
    UseInstalledCopy();
    const std::string log = ReadBytes(dir_ / "log.html");
    EXPECT_EQ(Run({"generate", "--upload", "--title", "t", "--body", "b"}), 3) << stderr_;
    EXPECT_TRUE(Said("tavmo/tavmo.exeがみつかりません。")) << stderr_;
    EXPECT_EQ(Run({"undo", "--upload"}), 3);
    EXPECT_TRUE(Said("tavmo/tavmo.exeがみつかりません。")) << stderr_;
    EXPECT_EQ(ReadBytes(dir_ / "log.html"), log);
    EXPECT_NE(stdout_.find("removed " + (dir_ / "diary26-Dec.html")), std::string::npos);

    const std::string tool = dir_ / "libexec/quillmaker/tavmo/tavmo.exe";
    StandIn(tool);
    ASSERT_EQ(Run(Generate("一")), 0) << stderr_;
    EXPECT_EQ(Run({"undo", "--upload"}), 0) << stderr_;
    EXPECT_EQ(ArgumentsOf(tool), "log.html\n");  // as the settings name it
    EXPECT_EQ(Run({"undo", "--upload", "--no-upload"}), 2);
}
#endif

// Settings or a record that cannot be read are said so, with the system's
// answer, never taken for "no set" or "nothing to take back".
TEST_F(UndoProgram, WhatCannotBeReadIsNamedWithTheSystemsAnswer) {
    fs::create_directories(dir_ / "undo/manifest.txt");
    EXPECT_EQ(Run({"undo"}), 1);
    EXPECT_EQ(stderr_, "quillmaker undo: cannot take back " + (dir_ / "undo/manifest.txt") +
                           "\n  " + (dir_ / "undo/manifest.txt") + ": Is a directory\n");
    fs::remove(dir_ / "QMsys.ini");
    fs::create_directory(dir_ / "QMsys.ini");
    EXPECT_EQ(Run(Generate("一")), 1);
    EXPECT_TRUE(Said("設定ファイルが読めません。\n" + (dir_ / "QMsys.ini") + ": Is a directory"))
        << stderr_;
}

}  // namespace
}  // namespace qm::test
