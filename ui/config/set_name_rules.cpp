#include "ui/config/set_name_rules.h"

#include <climits>

#include "platform/encoding.h"
#include "platform/path_text.h"
#include "settings/keys.h"

namespace qm {

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool HasControlByte(std::string_view bytes) {
    // Trail bytes of double-byte characters are 0x40 and above, so a
    // byte-wise look cannot mistake one for a control character.
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

SetNameVerdict CheckSetName(std::string_view nameCp932, std::string_view programDirCp932) {
    if (nameCp932.empty()) return SetNameVerdict::Empty;
    if (EqualsIgnoringAsciiCase(nameCp932, kReservedSetName)) return SetNameVerdict::Reserved;
    const auto nameUtf8 = Cp932ToUtf8(nameCp932);
    if (!nameUtf8) return SetNameVerdict::NotCp932;
    if (HasControlByte(nameCp932)) return SetNameVerdict::Control;
    if (HasSeparator(nameCp932)) return SetNameVerdict::Separator;
    if (nameCp932 == "." || nameCp932 == "..") return SetNameVerdict::DotsOnly;
    if (nameCp932.front() == ' ' || nameCp932.back() == ' ') return SetNameVerdict::BlankEdge;
    if (nameCp932.size() >= syskeys::kSetNameCapacity) return SetNameVerdict::TooLong;
    if (nameUtf8->size() + 4 > NAME_MAX) return SetNameVerdict::TooLong;  // + ".ini"
    std::string path(programDirCp932);
    path.append(nameCp932).append(".ini");
    const auto fsPath = ToFsPath(path);
    if (!fsPath || fsPath->size() >= PATH_MAX) return SetNameVerdict::PathTooLong;
    return SetNameVerdict::Usable;
}

}  // namespace qm
