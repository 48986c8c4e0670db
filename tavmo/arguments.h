// The tool's command line. The caller has split its Windows-style parameter
// text already, so each file arrives as one argument.
#pragma once

#include <string>
#include <vector>

namespace qm::tavmo {

struct Arguments {
    enum class Mode { Upload, Settings, Help };
    Mode mode = Mode::Upload;
    bool batch = false;
    std::vector<std::string> files;
};

struct ParsedArguments {
    bool ok = false;
    Arguments arguments;
    std::string error;  // Japanese, when not ok
};

// "/set" (or "--set") opens the settings; "--batch" forces the windowless
// mode; "--help", "-h" and "/?" ask for the usage; "--" ends the options.
// Other arguments starting with '-' are errors; everything else is a file
// (a path starting with '/' included). No file and no option means settings.
ParsedArguments ParseArguments(const std::vector<std::string>& argv);

std::string UsageText();

// True when a window can be shown: a display is named, or Qt is told which
// platform to use.
bool DisplayAvailable();

}  // namespace qm::tavmo
