// The Windows command-line splitter: any text splits without harm, and a list
// of arguments quoted the way Windows programs quote them splits back into
// exactly that list.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzz_support.h"
#include "platform/process.h"

namespace qm::fuzz {
namespace {

// One argument as a Windows program writes it into a command line: in double
// quotes when it is empty or holds a blank or a quote; backslashes doubled
// where a quote follows them, and every quote escaped.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qm::fuzz;
    FuzzedDataProvider input(data, size);

    const std::string text = input.ConsumeRandomLengthString(256);
    for (const std::string& argument : qm::SplitCommandLine(text)) {
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
    Require(qm::SplitCommandLine(line) == arguments, "quoted arguments split back as they were");
    return 0;
}
