#include "platform/process.h"

#include <filesystem>

#include "platform/utf8_path.h"

namespace qm {

namespace {

bool Exists(const std::string& utf8) {
    std::error_code ec;
    return std::filesystem::exists(PathOfUtf8(utf8), ec);
}

}  // namespace

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
