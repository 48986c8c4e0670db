#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/encoding.h"
#include "platform/path_text.h"
#include "platform/program_dir.h"

namespace qm {

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg) args.push_back(std::move(current));
            current.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < text.size() && text[i] == '\\') ++run, ++i;
            if (i < text.size() && text[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';  // "" inside quotes is a literal quote
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArg) args.push_back(std::move(current));
    return args;
}

std::string LocateProgram(const std::string& program, const std::vector<std::string>& folders) {
    if (program.empty() || program.front() == '/' || program.find('/') == std::string::npos ||
        ::access(program.c_str(), F_OK) == 0) {
        return program;
    }
    for (const std::string& folder : folders) {
        const std::string candidate = folder + program;
        if (::access(candidate.c_str(), F_OK) == 0) return candidate;
    }
    return program;
}

StartResult StartProgram(std::string_view programCp932, std::string_view parametersCp932) {
    auto program = ToFsPath(programCp932);
    // Split before separators become '/': a backslash that escapes a quote
    // must still do so. In UTF-8 every 0x5C is a backslash of its own.
    auto parameters = Cp932ToUtf8(parametersCp932);
    if (!program || program->empty() || !parameters) return StartResult::Failed;
    if (program->find('/') == std::string::npos && ::access(program->c_str(), F_OK) == 0) {
        // As on the original platform, a bare name is looked for in the
        // working directory (the program folder) before the search path.
        *program = "./" + *program;
    }
    const std::string ownFolder = ExecutableFolder();
    *program = LocateProgram(*program, {ownFolder, InstalledHelperFolder(ownFolder)});
    if (program->find('/') != std::string::npos && ::access(program->c_str(), X_OK) != 0) {
        return StartResult::NotFound;
    }

    // Everything the children need is made before fork.
    std::vector<std::string> words = SplitCommandLine(*parameters);
    for (auto& w : words) std::replace(w.begin(), w.end(), '\\', '/');
    std::vector<char*> argv;
    argv.push_back(program->data());
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return StartResult::Failed;

    // Fork twice so the program is adopted by init: it is never waited for and
    // never left a zombie. The grandchild reports a failed exec through the
    // pipe; a successful exec closes it empty.
    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return StartResult::Failed;
    }
    if (child == 0) {
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            int devNull = ::open("/dev/null", O_RDONLY);
            if (devNull >= 0) ::dup2(devNull, 0);
            ::execvp(argv[0], argv.data());
            int err = errno;
            ssize_t ignored = ::write(report[1], &err, sizeof err);
            (void)ignored;
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    while ((n = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return StartResult::Failed;
    if (n == static_cast<ssize_t>(sizeof err)) {
        return (err == ENOENT || err == EACCES || err == ENOEXEC || err == ENOTDIR)
                   ? StartResult::NotFound
                   : StartResult::Failed;
    }
    return StartResult::Started;
}

}  // namespace qm
