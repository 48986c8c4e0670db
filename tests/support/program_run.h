// Every program a test starts runs through here: a child with extra
// environment, no input, its output in files; waited for, or killed midway.
#pragma once

#ifdef _WIN32
#include <windows.h>
#undef WriteProfileString  // the INI store's is meant in the tests
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "platform/command_line.h"
#include "platform/wide_text_windows.h"
#include "support/scoped_env.h"
#endif
#include "support/temp_dir.h"

namespace qm::test {

using Environment = std::vector<std::pair<std::string, std::string>>;

#ifdef _WIN32
// On Windows a child is its process handle, and its arguments are one
// command line, joined by the rules the child splits it by.
using Child = HANDLE;

inline HANDLE OpenForChild(const std::string& path, bool append) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const std::wstring name = path.empty() ? L"NUL" : WideFromUtf8(path).value_or(L"NUL");
    return ::CreateFileW(name.c_str(), append ? FILE_APPEND_DATA : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                         append ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts `args` as the POSIX StartChild does; a process group has no use here.
inline Child StartChild(const std::vector<std::string>& args, const Environment& env = {},
                        const std::string& out = "", const std::string& err = "", bool = false) {
    std::vector<std::unique_ptr<ScopedEnv>> inherited;  // the child inherits them
    for (const auto& [name, value] : env) {
        inherited.push_back(std::make_unique<ScopedEnv>(name.c_str(), value.c_str()));
    }
    std::wstring commandLine = WideFromUtf8(JoinCommandLine(args)).value_or(L"");
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = OpenForChild("", false);
    start.hStdOutput = OpenForChild(out, true);
    start.hStdError = err == out ? start.hStdOutput : OpenForChild(err, true);
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &start, &process);
    ::CloseHandle(start.hStdInput);
    ::CloseHandle(start.hStdOutput);
    if (err != out) ::CloseHandle(start.hStdError);
    if (!started) return nullptr;
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit status; -1 when the child could not start.
inline int WaitChild(Child child) {
    if (child == nullptr) return -1;
    DWORD status = 0;
    ::WaitForSingleObject(child, INFINITE);
    const bool known = ::GetExitCodeProcess(child, &status);
    ::CloseHandle(child);
    return known ? static_cast<int>(status) : -1;
}

// Ends the child at once, as SIGKILL does.
inline void KillChild(Child child) { ::TerminateProcess(child, 137); }
#else
using Child = pid_t;

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

inline void KillChild(Child child) { ::kill(child, SIGKILL); }
#endif

struct ProgramRun {
    int exitStatus = -1;  // -1 when killed
    std::string output;   // standard output
    std::string errors;   // standard error
};

// Runs `args` to its end, or kills it with SIGKILL after `killAfter`.
inline ProgramRun RunProgram(const std::vector<std::string>& args, const Environment& env = {},
                             std::optional<std::chrono::microseconds> killAfter = std::nullopt) {
    const TempDir outputs;
    const Child child = StartChild(args, env, outputs / "out", outputs / "err");
    // Killing a child that has ended already is harmless.
    if (killAfter) std::this_thread::sleep_for(*killAfter), KillChild(child);
    ProgramRun run;
    run.exitStatus = WaitChild(child);
    run.output = ReadBytes(outputs / "out");
    run.errors = ReadBytes(outputs / "err");
#ifdef _WIN32
    if (killAfter && run.exitStatus == 137) run.exitStatus = -1;
    // A Windows console program ends its lines with CR LF.
    for (std::string* text : {&run.output, &run.errors}) {
        for (auto at = text->find("\r\n"); at != std::string::npos; at = text->find("\r\n", at)) {
            text->erase(at, 1);
        }
    }
#endif
    return run;
}

// The arguments the stand-in program at `path` was started with, one a
// line, once it has written them down.
inline std::string ArgumentsOf(const std::string& path) {
    for (int i = 0; i < 500 && !std::filesystem::exists(FsPath(path + ".args")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadBytes(path + ".args");
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
