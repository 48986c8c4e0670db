// The command line alone, until the main window takes over this executable.
#include <cstdio>
#include <string>

#include "cli/command_line.h"

int main(int argc, char** argv) {
    std::string error;
    auto options = qm::ParseGlobalOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
        return 2;
    }
    if (options->help) {
        qm::PrintUsage(stdout);
        return 0;
    }
    if (!qm::ApplyGlobalOptions(*options, error)) {
        std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
        return 2;
    }
    return qm::RunSubcommand(*options);
}
