#include "platform/files.h"

namespace qm {

std::string_view TextUpToNul(std::string_view bytes) {
    auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

FileResult<std::string> ReadFileBytes(std::string_view cp932Path) {
    auto path = NativePathOf(cp932Path);
    if (!path) return path.problem();
    return ReadRegularFile(*path);
}

}  // namespace qm
