#include "platform/command_line.h"

#include "platform/encoding.h"

namespace qm {

std::string QuoteArgument(std::string_view argument) {
    std::string out = "\"";
    std::size_t backslashes = 0;  // real backslashes just written, not second bytes
    std::size_t i = 0;
    while (i < argument.size()) {
        const char c = argument[i];
        if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < argument.size()) {
            // The second byte may be 0x5C; it is part of the character.
            out.append(argument.substr(i, 2));
            backslashes = 0;
            i += 2;
            continue;
        }
        if (c == '"') {
            out.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = c == '\\' ? backslashes + 1 : 0;
        }
        out += c;
        ++i;
    }
    out.append(backslashes, '\\');
    out += '"';
    return out;
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += QuoteArgument(argument);
    }
    return line;
}

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg) args.push_back(std::move(current));
            current.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < text.size() && text[i] == '\\') ++run, ++i;
            if (i < text.size() && text[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';  // "" inside quotes is a literal quote
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArg) args.push_back(std::move(current));
    return args;
}

}  // namespace qm
