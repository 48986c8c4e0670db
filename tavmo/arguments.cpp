#include "tavmo/arguments.h"

#include <cstdlib>

namespace qm::tavmo {

namespace {

std::string LowerAscii(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

#ifndef _WIN32
bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
#endif

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& argv) {
    ParsedArguments parsed;
    bool settings = false;
    bool help = false;
    bool optionsEnded = false;
    for (const auto& argument : argv) {
        const std::string lower = LowerAscii(argument);
        if (!optionsEnded) {
            if (lower == "/set" || lower == "--set") {
                settings = true;
                continue;
            }
            if (lower == "--batch") {
                parsed.arguments.batch = true;
                continue;
            }
            if (lower == "--help" || lower == "-h" || lower == "/?") {
                help = true;
                continue;
            }
            if (argument == "--") {
                optionsEnded = true;
                continue;
            }
            if (argument.size() > 1 && argument.front() == '-') {
                parsed.error = "知らないオプションです: " + argument;
                return parsed;
            }
        }
        parsed.arguments.files.push_back(argument);
    }
    if (help) {
        parsed.arguments.mode = Arguments::Mode::Help;
    } else if (settings) {
        if (!parsed.arguments.files.empty()) {
            parsed.error = "/set とファイルは一緒に指定できません。";
            return parsed;
        }
        parsed.arguments.mode = Arguments::Mode::Settings;
    } else if (parsed.arguments.files.empty()) {
        parsed.arguments.mode = Arguments::Mode::Settings;
    }
    parsed.ok = true;
    return parsed;
}

std::string UsageText() {
    return "使い方: tavmo.exe [--batch] \"ファイル\" ...  |  tavmo.exe /set";
}

bool DisplayAvailable() {
#ifdef _WIN32
    return true;  // a Windows session always has its desktop
#else
    return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY") ||
           EnvironmentSet("QT_QPA_PLATFORM");
#endif
}

}  // namespace qm::tavmo
