#include <windows.h>

#include <utility>

#include "platform/code_page_932.h"
#include "platform/wide_text_windows.h"

namespace qm {

namespace {

constexpr UINT kCodePage932 = 932;

// Characters that the converter of the POSIX build gives the code of a
// look-alike, although that code decodes to another character. Windows
// refuses them without best fit; giving them the same codes keeps a typed
// entry byte for byte the same page on both systems.
constexpr std::pair<wchar_t, const char*> kLookAlikes[] = {
    {L'\u00A2', "\x81\x91"}, {L'\u00A3', "\x81\x92"}, {L'\u00A5', "\x5C"},
    {L'\u00AC', "\x81\xCA"}, {L'\u2014', "\x81\x5C"}, {L'\u2016', "\x81\x61"},
    {L'\u203E', "\x7E"},     {L'\u2212', "\x81\x7C"}, {L'\u301C', "\x81\x60"},
};

const char* LookAlikeFor(wchar_t unit) {
    for (const auto& [character, bytes] : kLookAlikes) {
        if (character == unit) return bytes;
    }
    return nullptr;
}

// One run without look-alikes; std::nullopt when any character has no code.
std::optional<std::string> WideRunToCp932(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    const int length = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                           nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), size,
                          nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}

std::optional<std::string> WideToCp932(std::wstring_view wide) {
    std::string out;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= wide.size(); ++i) {
        const char* lookAlike = i < wide.size() ? LookAlikeFor(wide[i]) : nullptr;
        if (i < wide.size() && lookAlike == nullptr) continue;
        auto run = WideRunToCp932(wide.substr(runStart, i - runStart));
        if (!run) return std::nullopt;
        out += *run;
        if (lookAlike != nullptr) out += lookAlike;
        runStart = i + 1;
    }
    return out;
}

// A lone surrogate has no code in either target.
bool HasBrokenSurrogate(std::wstring_view wide) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= wide.size() || wide[i + 1] < 0xDC00 || wide[i + 1] > 0xDFFF) return true;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> ConvertUtf8ToCp932(std::string_view utf8) {
    const auto wide = WideFromUtf8(utf8);
    return wide ? WideToCp932(*wide) : std::nullopt;
}

std::optional<std::string> ConvertCp932ToUtf8(std::string_view cp932) {
    const auto wide = WideFromCodePage(kCodePage932, cp932);
    if (!wide) return std::nullopt;
    return Utf8FromWide(*wide);
}

std::optional<std::string> ConvertUtf16LeToCp932(std::string_view utf16le) {
    std::wstring wide(utf16le.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                       static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
    }
    if (HasBrokenSurrogate(wide)) return std::nullopt;
    return WideToCp932(wide);
}

std::optional<std::string> ConvertUtf8ToUtf16Le(std::string_view utf8) {
    const auto wide = WideFromUtf8(utf8);
    if (!wide) return std::nullopt;
    std::string out;
    out.reserve(wide->size() * 2);
    for (const wchar_t unit : *wide) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    }
    return out;
}

}  // namespace qm
