// Starting other programs (the upload tool, an editor, a file opener).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The results a caller looks at, numbered as the original platform numbers them.
enum class StartResult { Started = 33, NotFound = 2, Failed = 0 };

// Splits a parameter text the way a Windows command line is split into
// arguments: blanks separate, double quotes group and are dropped, and
// backslashes before a quote escape it.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The program a relative path holding a separator (UTF-8, such as the stored
// "tavmo/tavmo.exe") names: under the working directory when it is there,
// else under the first of `folders` that holds it; unchanged when none does.
std::string LocateProgram(const std::string& program, const std::vector<std::string>& folders);

// Starts `program` (code page 932) with `parameters` split as above, converted
// to UTF-8, each '\' in an argument then a '/' as in every path. A bare name is searched in PATH; a
// relative path is located as above in the program's own folder and then in the installed helper
// folder, so the stored default finds the upload tool in a build tree and on an installed system.
// The process is detached: never waited for, never a zombie.
StartResult StartProgram(std::string_view programCp932, std::string_view parametersCp932);

}  // namespace qm
