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

// Starts `program` (code page 932; relative to the working directory when it
// holds a separator, else searched in PATH) with `parameters` split as above,
// converted to UTF-8, each '\' in an argument then a '/' as in every path. The process is detached:
// never waited for, never a zombie.
StartResult StartProgram(std::string_view programCp932, std::string_view parametersCp932);

}  // namespace qm
