#include "platform/program_dir.h"

#include <unistd.h>

#include <filesystem>

namespace qm {

std::string ExecutableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return NormalizeFolder(".");
    return NormalizeFolder(exe.parent_path().string());
}

std::string NormalizeFolder(const std::string& dir) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(dir.empty() ? "." : dir, ec);
    std::string text = (ec ? std::filesystem::path(dir) : absolute.lexically_normal()).string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

bool EnterFolder(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

}  // namespace qm
