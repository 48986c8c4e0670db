// The program. The subcommands and --help run here, and this program links
// nothing of the window toolkit, so a command line never waits for it to
// load. Without a subcommand, or for `edit`, the window program takes over
// the process with the same arguments: beside this one in a build or a
// portable folder, in the helper folder when installed.
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/program_dir.h"
#ifdef _WIN32
#include "platform/wide_text_windows.h"
#endif

namespace {

constexpr const char* kWindowProgram = "quillmaker-window";

bool NeedsWindow(const qm::GlobalOptions& options) {
    return options.rest.empty() || options.rest.front() == "edit";
}

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

#ifdef _WIN32
// Windows hands main its arguments in the ANSI code page, which loses what
// that page lacks; the wide ones, as UTF-8 as on every other system, keep
// every character. The console is told to show UTF-8 as well.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        arguments.push_back(qm::Utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);
    return arguments;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    // Nothing unexpected ends the program by a signal: it is said, and the
    // status is a failure. Every write is finished or undone by then.
    try {
#ifdef _WIN32
        std::vector<std::string> utf8 = Utf8Arguments();
        std::vector<char*> pointers;
        for (std::string& argument : utf8) pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        argc = static_cast<int>(utf8.size());
        argv = pointers.data();
#endif
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
