#include "platform/leftover_temps.h"

#include <string>

#include "platform/encoding.h"
#include "platform/system_io.h"

namespace qm {

namespace {

constexpr std::size_t kRandomPart = 6;  // what mkstemp puts in place of XXXXXX

bool IsRandomPart(std::string_view text) {
    if (text.size() != kRandomPart) return false;
    for (char c : text) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) return false;
    }
    return true;
}

// The target's name (UTF-8) when `name` is ".TARGET.XXXXXX"; empty otherwise.
std::string_view TargetOfTemporary(std::string_view name) {
    if (name.size() < kRandomPart + 3 || name.front() != '.') return {};
    const std::size_t dot = name.size() - kRandomPart - 1;
    if (name[dot] != '.' || !IsRandomPart(name.substr(dot + 1))) return {};
    return name.substr(1, dot - 1);
}

}  // namespace

int RemoveTemporariesLeftIn(const NativePath& folderPath,
                            const std::function<bool(std::string_view)>& isOwnTarget) {
    const std::string folder = folderPath.empty() ? std::string("./") : folderPath.str() + "/";
    int removed = 0;
    for (const std::string& name : NamesInFolder(folder)) {
        const std::string_view target = TargetOfTemporary(name);
        if (target.empty()) continue;
        auto targetCp932 = Utf8ToCp932(target);
        if (!targetCp932 || !isOwnTarget(*targetCp932)) continue;
        if (RemoveIfUnowned(folder + name)) ++removed;
    }
    return removed;
}

}  // namespace qm
