// The real program run on a fresh copy of the example diary, its clock on now_.
#pragma once

#include <gtest/gtest.h>

#include "support/diary_folder.h"
#include "support/program_run.h"

namespace qm::test {

namespace fs = std::filesystem;

class ExampleFolder : public ::testing::Test {
  protected:
    ExampleFolder() { dir_.CopyExample(); }
    // `quillmaker --home DIR --now NOW ARGS` started, its output into `outputBase`.out and .err.
    Child Start(const std::vector<std::string>& args, const std::string& outputBase) const {
        return StartChild(Quillmaker(home_, args, now_, program_), {}, outputBase + ".out",
                          outputBase + ".err");
    }
    int Run(const std::vector<std::string>& args) {
        const ProgramRun run = RunProgram(Quillmaker(home_, args, now_, program_));
        stdout_ = run.output;
        stderr_ = run.errors;
        return run.exitStatus;
    }
    bool Said(const std::string& text) const { return stderr_.find(text) != std::string::npos; }
#ifndef _WIN32
    // A copy in bin/ as installed, so the test decides what libexec/quillmaker/ holds.
    void UseInstalledCopy() {
        fs::create_directories(dir_ / "libexec/quillmaker/tavmo");
        fs::create_directory(dir_ / "bin");
        program_ = dir_ / "bin/quillmaker";
        fs::copy_file(QM_PROGRAM, program_);
    }
#endif
    // A stand-in program that writes its arguments, one a line, to TOOL.args
    // (read with ArgumentsOf).
    static void StandIn(const std::string& tool) { fs::copy_file(QM_STAND_IN, FsPath(tool)); }
    std::string Page() const { return dir_.ReadFile("diary26-Dec.html"); }

    ProgramFolder dir_;
    std::string home_ = dir_.dir();  // the program folder the runs are given
    TempDir outputs_;                // apart, so the diary folder holds only the diary
    std::string program_ = QM_PROGRAM;
    std::string now_ = kNow;
    std::string stdout_, stderr_;
};

inline std::vector<std::string> Generate(const std::string& title) {
    return {"generate", "--title", title, "--body", "b"};
}

}  // namespace qm::test
