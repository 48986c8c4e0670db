#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/program_dir.h"

namespace qm {

namespace {

// How long an opener is watched. A desktop opener hands the file on and ends
// at once; one that finds no handler ends soon after with a failure. An
// opener still running then has started a viewer in its own place.
constexpr int kOpenerPatienceMs = 2000;

// What the started side reports through the pipe.
struct Report {
    enum Kind : int { ExecFailed, Exited } kind;
    int value;  // errno, or the wait status
};

StartResult FromExecError(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return StartResult::Missing;
        case EACCES:
        case ENOEXEC:
        case EISDIR:
            return StartResult::NotExecutable;
        default:
            return StartResult::Failed;
    }
}

// A program named by a path: is it there, and does it run?
std::optional<StartResult> CheckProgramFile(const std::string& program) {
    struct stat info {};
    if (::stat(program.c_str(), &info) != 0) return FromExecError(errno);
    if (!S_ISREG(info.st_mode) || ::access(program.c_str(), X_OK) != 0) {
        return StartResult::NotExecutable;
    }
    return std::nullopt;
}

void WriteReport(int fd, Report report) {
    ssize_t ignored = ::write(fd, &report, sizeof report);
    (void)ignored;
}

// Runs in the forked child: only calls that are safe after fork.
[[noreturn]] void ExecProgram(char* const* argv, int reportFd) {
    int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) ::dup2(devNull, 0);
    ::execvp(argv[0], argv);
    WriteReport(reportFd, {Report::ExecFailed, errno});
    ::_exit(127);
}

// The first report, waiting without end (a start) or for the opener's
// patience; none when the program runs on.
std::optional<Report> ReadReport(int fd, StartWait wait) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kOpenerPatienceMs);
    while (true) {
        if (wait == StartWait::ForOpener) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd watch{fd, POLLIN, 0};
            const int ready =
                left.count() > 0 ? ::poll(&watch, 1, static_cast<int>(left.count())) : 0;
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return std::nullopt;
        }
        Report report{};
        const ssize_t n = ::read(fd, &report, sizeof report);
        if (n < 0 && errno == EINTR) continue;
        if (n == static_cast<ssize_t>(sizeof report)) return report;
        return std::nullopt;  // closed by a successful exec
    }
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

StartResult StartProgram(std::string_view programCp932,
                         const std::vector<std::string>& nativeArguments, StartWait wait) {
    if (programCp932.empty()) return StartResult::NoProgram;
    auto program = ToFsPath(programCp932);
    if (!program) return StartResult::Missing;  // no file has such a name
    if (program->find('/') == std::string::npos && ::access(program->c_str(), F_OK) == 0) {
        // As on the original platform, a bare name is looked for in the
        // working directory (the program folder) before the search path.
        *program = "./" + *program;
    }
    const std::string ownFolder = ExecutableFolder();
    *program = LocateProgram(*program, {ownFolder, InstalledHelperFolder(ownFolder)});
    if (program->find('/') != std::string::npos) {
        if (const auto problem = CheckProgramFile(*program)) return *problem;
    }

    // Everything the children need is made before fork.
    std::vector<std::string> arguments = nativeArguments;
    std::vector<char*> argv{program->data()};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return StartResult::Failed;

    // The child starts the program in a process of its own and ends at once,
    // so the program is adopted by init: never waited for here, never a
    // zombie. A failed exec is reported through the pipe; a successful one
    // closes it. An opener is started under a watcher that reports how it
    // ended.
    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return StartResult::Failed;
    }
    if (child == 0) {
        ::setsid();
        pid_t started = ::fork();
        if (started == 0 && wait == StartWait::ForOpener) {
            pid_t opener = ::fork();
            if (opener == 0) ExecProgram(argv.data(), report[1]);
            int status = 0;
            while (opener > 0 && ::waitpid(opener, &status, 0) < 0 && errno == EINTR) {
            }
            if (opener > 0) WriteReport(report[1], {Report::Exited, status});
            ::_exit(0);
        }
        if (started == 0) ExecProgram(argv.data(), report[1]);
        ::_exit(started < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const std::optional<Report> answer =
        WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ReadReport(report[0], wait) : std::nullopt;
    ::close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return StartResult::Failed;
    if (!answer) return StartResult::Started;
    if (answer->kind == Report::ExecFailed) return FromExecError(answer->value);
    const bool succeeded = WIFEXITED(answer->value) && WEXITSTATUS(answer->value) == 0;
    return succeeded ? StartResult::Started : StartResult::Refused;
}

std::string SelfProgramCp932() { return "/proc/self/exe"; }

}  // namespace qm
