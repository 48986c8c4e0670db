// The system's own converter between code page 932 and Unicode, one whole
// text at a time. encoding.cpp builds the diary's rules (the extra single
// bytes, references, exact ways back) on top of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Each is std::nullopt when any character is invalid or has no code in the
// target. UTF-16LE comes without a byte-order mark.
std::optional<std::string> ConvertUtf8ToCp932(std::string_view utf8);
std::optional<std::string> ConvertCp932ToUtf8(std::string_view cp932);
std::optional<std::string> ConvertUtf16LeToCp932(std::string_view utf16le);
std::optional<std::string> ConvertUtf8ToUtf16Le(std::string_view utf8);

}  // namespace qm
