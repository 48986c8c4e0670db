// The command line shared by every front end: the global options that any
// command takes, and the subcommands that run without a window.
#pragma once

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace qm {

struct GlobalOptions {
    std::string homeDir;              // program folder, UTF-8, absolute, ends in '/'
    bool homeGiven = false;           // --home named it; else it is made on first start
    std::string startDir;             // working directory at launch, for relative arguments
    std::optional<std::tm> fixedNow;  // --now
    std::vector<std::string> rest;    // what follows the global options (subcommand and its words)
    bool help = false;
    bool version = false;
};

// Takes --home DIR and --now "YYYY-MM-DD HH:MM:SS" from anywhere in the
// arguments and answers --help and --version. std::nullopt when the program
// ends at once with `exitCode`: 0 after --help or --version, 2 after a usage
// error (said on stderr).
std::optional<GlobalOptions> ReadGlobalOptions(int argc, char** argv, int& exitCode);

// Applies them for the whole run: the program folder (made first when it is
// the user's data folder and missing) becomes the working directory and every
// clock reading returns --now when given. False, said on stderr, when it cannot.
bool ApplyGlobalOptions(const GlobalOptions& options);

// The program folder as code page 932 bytes, as ActiveConfig keeps it.
std::string ProgramDirCp932(const GlobalOptions& options);

// Runs the subcommand in options.rest[0] ("generate", ...); returns the exit status.
int RunSubcommand(const GlobalOptions& options);

void PrintUsage(std::FILE* out);
void PrintVersion(std::FILE* out);

}  // namespace qm
