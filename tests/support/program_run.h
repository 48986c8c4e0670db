// Every program a test starts runs through here: a child with extra
// environment, no input, its output in files; waited for, or killed midway.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

using Environment = std::vector<std::pair<std::string, std::string>>;

// Starts `args` (the program's path first) with `env` added; standard output
// and error are appended to the files `out` and `err` ("" for none). In a
// process group of its own when `ownGroup`, so killing the group ends what
// the child forked too.
inline pid_t StartChild(const std::vector<std::string>& args, const Environment& env = {},
                        const std::string& out = "", const std::string& err = "",
                        bool ownGroup = false) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (ownGroup) ::setpgid(0, 0);
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        const auto open = [](const std::string& path) {
            return ::open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                          0644);
        };
        const int outFd = open(out);
        ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(err == out ? outFd : open(err), STDERR_FILENO);
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // Here too, so a kill of the group never comes before the child's own call.
    if (ownGroup) ::setpgid(child, child);
    return child;
}

// The exit status, -1 when the child was killed.
inline int WaitChild(pid_t child) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ProgramRun {
    int exitStatus = -1;  // -1 when killed
    std::string output;   // standard output
    std::string errors;   // standard error
};

// Runs `args` to its end, or kills it with SIGKILL after `killAfter`.
inline ProgramRun RunProgram(const std::vector<std::string>& args, const Environment& env = {},
                             std::optional<std::chrono::microseconds> killAfter = std::nullopt) {
    const TempDir outputs;
    const pid_t child = StartChild(args, env, outputs / "out", outputs / "err");
    // Killing a child that has ended already is harmless.
    if (killAfter) std::this_thread::sleep_for(*killAfter), ::kill(child, SIGKILL);
    ProgramRun run;
    run.exitStatus = WaitChild(child);
    run.output = ReadBytes(outputs / "out");
    run.errors = ReadBytes(outputs / "err");
    return run;
}

#ifdef QM_PROGRAM
inline const std::string kNow = "2026-12-07 21:05:09";

// The command line on the program folder `home`, its clock at `now`.
inline std::vector<std::string> Quillmaker(const std::string& home,
                                           const std::vector<std::string>& words,
                                           const std::string& now = kNow,
                                           const std::string& program = QM_PROGRAM) {
    std::vector<std::string> args = {program, "--home", home, "--now", now};
    args.insert(args.end(), words.begin(), words.end());
    return args;
}
#endif

}  // namespace qm::test
