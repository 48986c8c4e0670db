// Starting other programs (the upload tool, an editor, the desktop's opener).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class StartResult {
    Started,
    NoProgram,      // no program named (an empty path)
    Missing,        // no such file
    NotExecutable,  // a file, but not one that runs
    Failed,         // found, but the system could not start it
    Refused,        // an opener that ran and ended saying it could not open the file
};

// What a start waits for. An opener (xdg-open) hands the file on and ends;
// its exit status tells whether anything could open it, so it is watched
// for a moment. Other programs run on and are never waited for.
enum class StartWait { None, ForOpener };

// This program's arguments after its name, as UTF-8: argv itself on POSIX;
// on Windows, where main's argv is in the ANSI code page and loses what
// that page lacks, the wide command line, and the console shows UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// argc and argv made over with the program's name and ProgramArguments, for
// what takes them so (the option reader, QApplication); they point into this
// object from then on.
class Utf8Arguments {
  public:
    Utf8Arguments(int& argc, char**& argv);

  private:
    std::vector<std::string> text_;
    std::vector<char*> pointers_;
};

// The program a relative path holding a separator (UTF-8, such as the stored
// "tavmo/tavmo.exe") names: under the working directory when it is there,
// else under the first of `folders` that holds it; unchanged when none does.
std::string LocateProgram(const std::string& program, const std::vector<std::string>& folders);

// Starts `programCp932` (as stored or typed) with the arguments handed over
// as a list, nothing split or quoted: each is already in the file system's
// form (a NativePath's text for a file, or a plain word), so a '\' in one is
// never taken for a separator. A bare
// name is searched in PATH; a relative path is located as above in the
// program's own folder and then in the installed helper folder, so the stored
// default finds the upload tool in a build tree and on an installed system.
// The process is detached: never a zombie.
StartResult StartProgram(std::string_view programCp932,
                         const std::vector<std::string>& nativeArguments,
                         StartWait wait = StartWait::None);

// A program name that starts this very program again (code page 932):
// /proc/self/exe, so a program replaced meanwhile is still this one; on
// Windows the executable's own path. Empty when it has no such name.
std::string SelfProgramCp932();

#ifdef _WIN32
// Starts `programUtf8` with this program's own command line after its name,
// untouched: nothing is split or quoted in between. Not waited for: how the
// command line hands over to the window program there.
StartResult StartWithOwnArguments(const std::string& programUtf8);
#endif

// StartProgram or a stand-in for it (tests record the starts).
using ProgramStarter = std::function<StartResult(
    std::string_view programCp932, const std::vector<std::string>& nativeArguments, StartWait)>;

}  // namespace qm
