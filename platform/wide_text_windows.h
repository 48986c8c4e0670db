// UTF-8 (the program's paths and names) to the UTF-16 the Windows API takes,
// and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// std::nullopt for bytes that are not valid in the code page.
std::optional<std::wstring> WideFromCodePage(unsigned codePage, std::string_view text);

// std::nullopt for text that is not valid UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);

// A broken surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace qm
