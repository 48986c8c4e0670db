#include "platform/process.h"

#include <filesystem>
#include <utility>

#include "platform/utf8_path.h"

namespace qm {

namespace {

bool Exists(const std::string& utf8) {
    std::error_code ec;
    return std::filesystem::exists(PathOfUtf8(utf8), ec);
}

}  // namespace

Utf8Arguments::Utf8Arguments(int& argc, char**& argv) {
    text_.emplace_back(argc > 0 ? argv[0] : "");
    for (std::string& argument : ProgramArguments(argc, argv)) text_.push_back(std::move(argument));
    for (std::string& argument : text_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
    argc = static_cast<int>(text_.size());
    argv = pointers_.data();
}

std::string LocateProgram(const std::string& program, const std::vector<std::string>& folders) {
    if (program.empty() || PathOfUtf8(program).is_absolute() ||
        program.find('/') == std::string::npos || Exists(program)) {
        return program;
    }
    for (const std::string& folder : folders) {
        const std::string candidate = folder + program;
        if (Exists(candidate)) return candidate;
    }
    return program;
}

}  // namespace qm
