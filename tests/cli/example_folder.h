// The real program run on a fresh copy of the example diary (monthly pages
// beside the program, a log page, a current copy), the clock on now_.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace qm::test {

namespace fs = std::filesystem;

class ExampleFolder : public ::testing::Test {
  protected:
    ExampleFolder() { CopyExample(dir_); }
    static void CopyExample(const TempDir& to) {
        for (auto& e : fs::directory_iterator(QM_EXAMPLE_DIR))
            fs::copy(e.path(), to / e.path().filename().string());
    }
    // `quillmaker --home DIR --now NOW ARGS`, output into `outputBase`.out and .err.
    pid_t Start(const std::vector<std::string>& args, const std::string& outputBase) const {
        std::vector<std::string> words = {program_, "--home", home_, "--now", now_};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        for (int fd : {1, 2})
            posix_spawn_file_actions_addopen(&files, fd,
                                             (outputBase + (fd == 1 ? ".out" : ".err")).c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        posix_spawn(&pid, program_.c_str(), &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }
    static int ExitStatus(pid_t pid) {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Run(const std::vector<std::string>& args) {
        const std::string base = outputs_ / "run";
        const int status = ExitStatus(Start(args, base));
        stdout_ = ReadBytes(base + ".out");
        stderr_ = ReadBytes(base + ".err");
        return status;
    }
    bool Said(const std::string& text) const { return stderr_.find(text) != std::string::npos; }
    // A copy in bin/ as installed, so the test decides what libexec/quillmaker/ holds.
    void UseInstalledCopy() {
        fs::create_directories(dir_ / "libexec/quillmaker/tavmo");
        fs::create_directory(dir_ / "bin");
        program_ = dir_ / "bin/quillmaker";
        fs::copy_file(QM_PROGRAM, program_);
    }
    // A stand-in upload tool that writes its arguments, one a line, to TOOL.args.
    static void StandIn(const std::string& tool) {
        WriteBytes(tool,
                   "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\"\n"
                   "mv \"$0.part\" \"$0.args\"\n");
        ::chmod(tool.c_str(), 0755);
    }
    static std::string ArgumentsOf(const std::string& tool) {
        for (int i = 0; i < 500 && !fs::exists(tool + ".args"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return ReadBytes(tool + ".args");
    }
    std::string Page() const { return ReadBytes(dir_ / "diary26-Dec.html"); }

    TempDir dir_;
    std::string home_ = dir_.dir();
    TempDir outputs_;  // apart, so the diary folder holds only the diary
    std::string program_ = QM_PROGRAM;
    std::string now_ = "2026-12-07 21:05:09";
    std::string stdout_, stderr_;
};

inline std::vector<std::string> Generate(const std::string& title) {
    return {"generate", "--title", title, "--body", "b"};
}

}  // namespace qm::test
