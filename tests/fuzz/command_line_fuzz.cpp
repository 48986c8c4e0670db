// The Windows command-line splitter: any text splits without harm, and a list
// of arguments quoted the way Windows programs quote them, or the way this
// program quotes code page 932 paths, splits back into exactly that list.
#include <vector>

#include "fuzz_support.h"
#include "platform/command_line.h"
#include "platform/encoding.h"

namespace qm::fuzz {

// One argument as a Windows program writes it into a command line: in double
// quotes when it is empty or holds a blank or a quote; backslashes doubled
// where a quote follows them, and every quote escaped.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\' && ++backslashes > 0) continue;
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\') += c;
        backslashes = 0;
    }
    return out.append(backslashes * 2, '\\') + "\"";
}

QM_FUZZ_TARGET(input) {
    const std::string text = input.ConsumeRandomLengthString(256);
    for (const std::string& argument : SplitCommandLine(text)) {
        Require(argument.size() <= text.size(), "an argument comes from the text");
    }
    std::vector<std::string> arguments;
    std::string line;
    while (input.remaining_bytes() > 0 && arguments.size() < 16) {
        arguments.push_back(input.ConsumeRandomLengthString(32));
        // Arguments are separated by any run of blanks.
        line += std::string(input.ConsumeIntegralInRange(1, 3), input.ConsumeBool() ? ' ' : '\t');
        line += Quoted(arguments.back());
    }
    Require(SplitCommandLine(line) == arguments, "quoted arguments split back as they were");

    // Our own quoting, of code page 932 paths, read back through UTF-8 as the
    // draft reads its images.
    std::vector<std::string> utf8;
    for (const std::string& argument : arguments) {
        const auto converted = Cp932ToUtf8(argument);
        if (!converted) return;
        utf8.push_back(*converted);
    }
    const auto joined = Cp932ToUtf8(JoinCommandLine(arguments));
    Require(joined && SplitCommandLine(*joined) == utf8, "our quoting splits back as it was");
}

}  // namespace qm::fuzz
