// The real program as a child process, with extra environment, optionally
// killed with SIGKILL after a delay; and a program folder's files as bytes.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

struct ProgramRun {
    int exitStatus = -1;  // -1 when killed
    std::string errors;   // standard error
};

using Environment = std::vector<std::pair<std::string, std::string>>;

inline ProgramRun RunProgram(const std::vector<std::string>& args, const Environment& env = {},
                             std::optional<std::chrono::microseconds> killAfter = std::nullopt) {
    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(errPipe[1]);
    // Killing a child that has ended already is harmless.
    if (killAfter) std::this_thread::sleep_for(*killAfter), ::kill(child, SIGKILL);
    ProgramRun run;
    char buffer[4096];
    for (ssize_t n; (n = ::read(errPipe[0], buffer, sizeof buffer)) > 0;)
        run.errors.append(buffer, static_cast<std::size_t>(n));
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// File name -> content of every file in `dir` (not in subfolders).
using Files = std::map<std::string, std::string>;

inline Files ReadFolder(const std::string& dir) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file()) files[entry.path().filename()] = ReadBytes(entry.path());
    return files;
}

inline void WriteFolder(const std::string& dir, const Files& files) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        std::filesystem::remove_all(entry.path());
    for (const auto& [name, content] : files) WriteBytes(dir + name, content);
}

// ".NAME.XXXXXX": how the program names the temporary file of a safe write.
inline bool IsTemporaryName(const std::string& name) {
    return name.size() > 8 && name[0] == '.' && name[name.size() - 7] == '.';
}

}  // namespace qm::test
