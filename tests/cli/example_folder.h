// The real program run on a fresh copy of the example diary (monthly pages
// beside the program, a log page, a current copy), the clock on 2026-12-07.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace qm::test {

class ExampleFolder : public ::testing::Test {
  protected:
    ExampleFolder() {
        for (auto& e : std::filesystem::directory_iterator(QM_EXAMPLE_DIR)) {
            std::filesystem::copy(e.path(), dir_ / e.path().filename().string());
        }
    }

    // Starts `quillmaker --home DIR --now ... ARGS`, standard output and
    // error into `outputBase`.out and .err; returns the process id.
    pid_t Start(const std::vector<std::string>& args, const std::string& outputBase) const {
        std::vector<std::string> words = {QM_PROGRAM, "--home", dir_.dir(), "--now",
                                          "2026-12-07 21:05:09"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, (outputBase + ".out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, (outputBase + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        posix_spawn(&pid, QM_PROGRAM, &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }

    static int ExitStatus(pid_t pid) {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Runs the program to its end; its standard error lands in stderr_.
    int Run(const std::vector<std::string>& args) {
        const std::string base = outputs_ / "run";
        const int status = ExitStatus(Start(args, base));
        stdout_ = ReadBytes(base + ".out");
        stderr_ = ReadBytes(base + ".err");
        return status;
    }

    std::string Page() const { return ReadBytes(dir_ / "diary26-Dec.html"); }

    TempDir dir_;
    TempDir outputs_;  // apart, so the diary folder holds only the diary
    std::string stdout_;
    std::string stderr_;
};

}  // namespace qm::test
