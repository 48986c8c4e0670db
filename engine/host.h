// How the engine reaches the user. The main window and the command line each
// implement it; the engine itself never shows anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace qm {

struct ActiveConfig;

class Host {
  public:
    virtual ~Host() = default;

    // A modal message with only an OK button and no icon (code page 932 texts).
    virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;

    // Opens the path settings dialog on `config` and returns when it is closed.
    // Returns false when this host has no such dialog (the command line), in
    // which case the caller stops instead of asking again.
    virtual bool OpenPathSettings(ActiveConfig& config) = 0;

    // Opens the set manager while no set exists. Returns false when this host
    // cannot (the command line), so loading stops instead of looping.
    virtual bool OpenSetManager(ActiveConfig& config) = 0;

    // Starts a program detached, as the original platform's "open" verb would,
    // with its arguments as a list (native paths and words); an opener is
    // watched until it has said whether it opened the file.
    virtual StartResult StartProgram(std::string_view programCp932,
                                     const std::vector<std::string>& nativeArguments,
                                     StartWait wait) = 0;
};

}  // namespace qm
