// A UTF-8 path as std::filesystem takes it.
#pragma once

#include <filesystem>
#include <string>

namespace qm {

// Through char8_t, so Windows reads the text as UTF-8 and not as its ANSI
// code page; on POSIX the bytes stay as they are.
inline std::filesystem::path PathOfUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The path as UTF-8 text: string() would give Windows' ANSI code page.
inline std::string Utf8OfPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace qm
