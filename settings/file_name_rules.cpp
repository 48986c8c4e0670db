#include "settings/file_name_rules.h"

#include "platform/encoding.h"
#include "platform/native_path.h"
#include "platform/path_text.h"
#include "settings/keys.h"

namespace qm {

namespace {

// The limits of Linux, kept on Windows too so a set valid on one system is
// valid on the other: Windows counts a name in UTF-16 units, 255 at most,
// which are never more than its UTF-8 bytes, and takes long paths through
// the \\?\ form.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4096;

bool HasControlByte(std::string_view bytes) {
    // Trail bytes of double-byte characters are 0x40 and above, so a
    // byte-wise look cannot mistake one for a control character.
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

FileNameVerdict CheckPlainFileName(std::string_view nameCp932, std::string_view suffix) {
    if (nameCp932.empty()) return FileNameVerdict::Empty;
    const auto nameUtf8 = Cp932ToUtf8(nameCp932);
    if (!nameUtf8) return FileNameVerdict::NotCp932;
    if (HasControlByte(nameCp932)) return FileNameVerdict::Control;
    if (HasSeparator(nameCp932)) return FileNameVerdict::Separator;
    if (nameCp932 == "." || nameCp932 == "..") return FileNameVerdict::DotsOnly;
    if (nameUtf8->size() + suffix.size() > kNameMax) return FileNameVerdict::TooLong;
    return FileNameVerdict::Usable;
}

FileNameVerdict CheckSetName(std::string_view nameCp932, std::string_view programDirCp932) {
    std::string path(programDirCp932);
    path.append(nameCp932).append(".ini");
    return CheckSetName(nameCp932, NativePathOf(path));
}

FileNameVerdict CheckSetName(std::string_view nameCp932, const FileResult<NativePath>& iniPath) {
    if (nameCp932.empty()) return FileNameVerdict::Empty;
    if (EqualsIgnoringAsciiCase(nameCp932, kReservedSetName)) return FileNameVerdict::Reserved;
    const FileNameVerdict plain = CheckPlainFileName(nameCp932, ".ini");
    if (plain != FileNameVerdict::Usable) return plain;
    if (nameCp932.front() == ' ' || nameCp932.back() == ' ') return FileNameVerdict::BlankEdge;
    if (nameCp932.size() >= syskeys::kSetNameCapacity) return FileNameVerdict::TooLong;
    if (!iniPath || iniPath->str().size() >= kPathMax) return FileNameVerdict::PathTooLong;
    return FileNameVerdict::Usable;
}

}  // namespace qm
