#include "engine/program_arguments.h"

#include <vector>

#include "platform/encoding.h"
#include "platform/process.h"

namespace qm {

std::string QuoteArgument(std::string_view path) {
    std::string out = "\"";
    std::size_t backslashes = 0;  // real backslashes just written, not second bytes
    std::size_t i = 0;
    while (i < path.size()) {
        const char c = path[i];
        if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            // The second byte may be 0x5C; it is part of the character.
            out.append(path.substr(i, 2));
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

void AppendImageUpload(std::string& imageUploadList, std::string_view cp932Path) {
    if (!imageUploadList.empty()) imageUploadList += ' ';
    imageUploadList += QuoteArgument(cp932Path);
}

bool RemoveImageUpload(std::string& imageUploadList, std::string_view cp932FileName) {
    std::vector<std::string> paths = SplitCommandLine(imageUploadList);
    const std::string end = "/" + std::string(cp932FileName);
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (!it->ends_with(end)) continue;
        paths.erase(std::next(it).base());
        imageUploadList.clear();
        for (const auto& path : paths) AppendImageUpload(imageUploadList, path);
        return true;
    }
    return false;
}

}  // namespace qm
