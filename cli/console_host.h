// The engine's host on a terminal: messages go to standard error, and where
// the window would open a settings dialog the command stops instead.
#pragma once

#include <cstdio>
#include <string>

#include "engine/host.h"

namespace qm {

class ConsoleHost : public Host {
  public:
    explicit ConsoleHost(std::FILE* err = stderr) : err_(err) {}

    void ShowMessage(std::string_view text, std::string_view caption) override;
    bool OpenPathSettings(ActiveConfig& config) override;
    bool OpenSetManager(ActiveConfig& config) override;
    StartResult StartProgram(std::string_view programCp932,
                             const std::vector<std::string>& nativeArguments,
                             StartWait wait) override;

  private:
    std::FILE* err_;
};

// `text` as one word of a shell command, quoted when it needs to be.
std::string ShellWord(const std::string& text);

// Code page 932 text for the terminal; bytes that are not valid code page 932
// are shown as "\xNN" so nothing is hidden.
std::string TerminalText(std::string_view cp932);

}  // namespace qm
