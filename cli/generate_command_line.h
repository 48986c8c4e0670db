// `quillmaker generate`: one entry through the same flow as "Do It !!!".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "engine/entry.h"

namespace qm {

// What the words after "generate" ask for, texts already in code page 932.
struct GenerateRequest {
    std::optional<std::string> setName;  // --set, code page 932
    EntryInput input;                    // title, body (CR LF), image name, alt text
    std::string imagePath;               // --image as a full path, code page 932
    std::optional<bool> upload;          // --upload / --no-upload
    bool dryRun = false;
};

// `words` are what follows "generate"; relative files are taken from `startDir`
// (UTF-8, ends in '/'). std::nullopt with `error` set on a usage error.
std::optional<GenerateRequest> ParseGenerateArguments(const std::vector<std::string>& words,
                                                      const std::string& startDir,
                                                      std::string& error);

// Any line end (CR LF, LF or a lone CR) becomes CR LF.
std::string ToCrLf(std::string_view text);

struct ActiveConfig;

// The set a command works on: `setName` (code page 932) when given, else
// STATE/CURRENT (the first set when the stored number is out of range).
// std::nullopt when there is none, with `error` set when `setName` is unknown.
std::optional<int> ChooseSetIndex(const ActiveConfig& config,
                                  const std::optional<std::string>& setName, std::string& error);

// Runs the command; returns the exit status (0, 1, 2 or 3).
int RunGenerateCommandLine(const GlobalOptions& options);

}  // namespace qm
