#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace qm {

namespace {

// One iconv conversion of the whole input; std::nullopt on any invalid or
// unrepresentable character.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                std::size_t used = static_cast<std::size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

// Length of the UTF-8 sequence starting with `lead`, 0 when `lead` cannot start one.
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

unsigned DecodeUtf8(std::string_view seq) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(seq[i]); };
    switch (seq.size()) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
        case 3:
            return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
        default:
            return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) |
                   (b(3) & 0x3Fu);
    }
}

}  // namespace

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
    return Convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8);
}

std::optional<std::string> Utf8ToCp932WithReferences(std::string_view utf8) {
    if (auto whole = Utf8ToCp932(utf8)) return whole;
    // Slow path: character by character, so only the characters code page 932
    // lacks become references.
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
        if (len == 0 || i + len > utf8.size()) return std::nullopt;
        std::string_view seq = utf8.substr(i, len);
        if (auto converted = Utf8ToCp932(seq)) {
            out += *converted;
        } else {
            for (std::size_t k = 1; k < len; ++k) {
                if ((static_cast<unsigned char>(seq[k]) & 0xC0) != 0x80) return std::nullopt;
            }
            if (len == 1) return std::nullopt;
            char ref[16];
            std::snprintf(ref, sizeof ref, "&#x%X;", DecodeUtf8(seq));
            out += ref;
        }
        i += len;
    }
    return out;
}

std::string Utf16LeToCp932(std::string_view utf16le) {
    utf16le = utf16le.substr(0, utf16le.size() - utf16le.size() % 2);
    if (auto whole = Convert("CP932", "UTF-16LE", utf16le)) return *whole;
    // Slow path: character by character, so only the characters code page 932
    // lacks are replaced.
    auto unitAt = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(utf16le[i])) |
               static_cast<unsigned>(static_cast<unsigned char>(utf16le[i + 1])) << 8;
    };
    std::string out;
    for (std::size_t i = 0; i < utf16le.size();) {
        const unsigned unit = unitAt(i);
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 4 <= utf16le.size() &&
                          unitAt(i + 2) >= 0xDC00 && unitAt(i + 2) <= 0xDFFF;
        const std::size_t len = pair ? 4 : 2;
        out += Convert("CP932", "UTF-16LE", utf16le.substr(i, len)).value_or("?");
        i += len;
    }
    return out;
}

std::optional<std::string> Cp932ToUtf16Le(std::string_view cp932) {
    return Convert("UTF-16LE", "CP932", cp932);
}

bool IsWellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const std::size_t len = Utf8SequenceLength(byte(i));
        if (len == 0 || i + len > text.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return false;
        }
        const unsigned code = DecodeUtf8(text.substr(i, len));
        static constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[len] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        i += len;
    }
    return true;
}

std::size_t Cp932PrefixLength(std::string_view text, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return i > text.size() ? text.size() : i;
}

}  // namespace qm
