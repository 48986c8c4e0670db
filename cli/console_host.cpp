#include "cli/console_host.h"

#include "platform/encoding.h"
#include "platform/program_dir.h"
#include "settings/active_config.h"

namespace qm {

std::string ShellWord(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                               "0123456789/._+-") == std::string::npos) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string TerminalText(std::string_view cp932) {
    if (auto utf8 = Cp932ToUtf8(cp932)) return *utf8;
    std::string shown;
    for (unsigned char byte : cp932) {
        if (byte < 0x80) {
            shown += static_cast<char>(byte);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        }
    }
    return shown;
}

void ConsoleHost::ShowMessage(std::string_view text, std::string_view caption) {
    std::string body = TerminalText(text);
    // The roll-over message begins with a line break of its own.
    while (!body.empty() && (body.front() == '\r' || body.front() == '\n')) body.erase(0, 1);
    std::string shown;
    for (char c : body) {
        if (c != '\r') shown += c;
    }
    std::fprintf(err_, "%s: %s\n", TerminalText(caption).c_str(), shown.c_str());
}

bool ConsoleHost::OpenPathSettings(ActiveConfig& config) {
    std::fprintf(err_,
                 "quillmaker: the settings of %s need the prototype page and the entry template; "
                 "set them in the main window (ファイルパス指定)\n",
                 TerminalText(config.configIniPath).c_str());
    return false;
}

bool ConsoleHost::OpenSetManager(ActiveConfig& config) {
    std::fprintf(err_, "quillmaker: %s lists no diary set yet; ",
                 TerminalText(config.systemIniPath).c_str());
    // The example diary is a whole set, ready to write into.
    if (const auto example = FindExampleFolder(ExecutableFolder())) {
        std::fprintf(err_, "start from the example diary:\n  cp %s* %s\nor ",
                     ShellWord(*example).c_str(),
                     ShellWord(TerminalText(config.programDir)).c_str());
    }
    std::fprintf(err_, "make one in the main window (セット追加)\n");
    return false;
}

StartResult ConsoleHost::StartProgram(std::string_view programCp932,
                                      const std::vector<std::string>& nativeArguments,
                                      StartWait wait) {
    return qm::StartProgram(programCp932, nativeArguments, wait);
}

}  // namespace qm
