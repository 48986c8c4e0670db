#include "platform/path_text.h"

#include "platform/encoding.h"

namespace qm {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::size_t AfterLastSeparator(std::string_view path) {
    std::size_t after = 0;
    std::size_t i = 0;
    while (i < path.size()) {
        if (IsCp932LeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;  // the second byte may be 0x5C and is never a separator
            continue;
        }
        if (IsSeparator(path[i])) after = i + 1;
        ++i;
    }
    return after;
}

bool HasSeparator(std::string_view path) { return AfterLastSeparator(path) != 0; }

std::string FolderPart(std::string_view path) {
    return std::string(path.substr(0, AfterLastSeparator(path)));
}

std::string FileNamePart(std::string_view path) {
    return std::string(path.substr(AfterLastSeparator(path)));
}

std::optional<std::string> ToFsPath(std::string_view cp932Path) {
    // Turn separators into '/' before converting, while the double-byte
    // characters are still visible as such.
    std::string slashed(cp932Path);
    for (std::size_t i = 0; i < slashed.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(slashed[i])) && i + 1 < slashed.size()) {
            ++i;
        } else if (slashed[i] == '\\') {
            slashed[i] = '/';
        }
    }
    return Cp932ToUtf8(slashed);
}

}  // namespace qm
