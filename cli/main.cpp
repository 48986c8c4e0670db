// The program. The subcommands and --help run here, and this program links
// nothing of the window toolkit, so a command line never waits for it to
// load. Without a subcommand, or for `edit`, the window program takes over
// the process with the same arguments: beside this one in a build or a
// portable folder, in the helper folder when installed. On Windows this is
// the console program quillmaker.com, which cmd and PowerShell prefer to the
// window program quillmaker.exe beside it when the user types "quillmaker";
// it starts the window program and ends, as a window program started there
// would.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/process.h"
#include "platform/program_dir.h"

namespace {

bool NeedsWindow(const qm::GlobalOptions& options) {
    return options.rest.empty() || options.rest.front() == "edit";
}

#ifdef _WIN32
int StartWindowProgram(int, char**) {
    const std::string program = qm::ExecutableFolder() + "quillmaker.exe";
    if (qm::StartWithOwnArguments(program) == qm::StartResult::Started) return 0;
    std::fprintf(stderr, "quillmaker: cannot start the window program %s\n", program.c_str());
    return 1;
}
#else
constexpr const char* kWindowProgram = "quillmaker-window";

std::string WindowProgramPath() {
    const std::string ownFolder = qm::ExecutableFolder();
    const std::string beside = ownFolder + kWindowProgram;
    if (::access(beside.c_str(), X_OK) == 0) return beside;
    return qm::InstalledHelperFolder(ownFolder) + kWindowProgram;
}

// Returns only when the window program cannot be started. Without --home it
// finds the same settings folder: a portable folder holds both programs, and
// the installed one uses the user's data folder.
int StartWindowProgram(int argc, char** argv) {
    const std::string program = WindowProgramPath();
    std::vector<char*> arguments{const_cast<char*>(program.c_str())};
    for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    ::execv(program.c_str(), arguments.data());
    std::fprintf(stderr, "quillmaker: cannot start the window program %s: %s\n", program.c_str(),
                 std::strerror(errno));
    return 1;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    // Nothing unexpected ends the program by a signal: it is said, and the
    // status is a failure. Every write is finished or undone by then.
    try {
        const qm::Utf8Arguments utf8(argc, argv);
        int exitCode = 0;
        const auto options = qm::ReadGlobalOptions(argc, argv, exitCode);
        if (!options) return exitCode;
        if (NeedsWindow(*options)) return StartWindowProgram(argc, argv);
        if (!qm::ApplyGlobalOptions(*options)) return 2;
        return qm::RunSubcommand(*options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quillmaker: stopped by an unexpected failure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quillmaker: stopped by an unexpected failure\n");
    }
    return 1;
}
