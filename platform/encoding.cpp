#include "platform/encoding.h"

#include <cstdio>
#include <utility>

#include "platform/code_page_932.h"

namespace qm {

namespace {

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

// Single bytes that Windows decodes although the code page's table leaves them
// out (its best-fit table for code page 932): 0x80 to U+0080, 0xA0 and 0xFD
// to 0xFF to private-use characters. They come back to the same bytes.
constexpr std::pair<unsigned char, unsigned> kSingleByteExtras[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

std::optional<unsigned> ExtraCodePointFor(unsigned char byte) {
    for (const auto& [extra, codePoint] : kSingleByteExtras) {
        if (extra == byte) return codePoint;
    }
    return std::nullopt;
}

std::optional<unsigned char> ExtraByteFor(unsigned codePoint) {
    for (const auto& [byte, extra] : kSingleByteExtras) {
        if (extra == codePoint) return byte;
    }
    return std::nullopt;
}

void AppendReference(std::string& out, unsigned codePoint) {
    char ref[16];
    std::snprintf(ref, sizeof ref, "&#x%X;", codePoint);
    out += ref;
}

void AppendUtf8(std::string& out, unsigned codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Characters typed text keeps as references although the converter has a
// code for them: ¥ and ‾ would become 0x5C and 0x7E, which browsers show as a
// backslash and a tilde, and tag characters would silently vanish.
bool KeptAsReference(unsigned codePoint) {
    return codePoint == 0x00A5 || codePoint == 0x203E ||
           (codePoint >= 0xE0000 && codePoint <= 0xE007F);
}

// One well-formed UTF-8 character at the start of `text`: its length, or 0
// for a broken sequence, an overlong form, a surrogate or a value past U+10FFFF.
std::size_t Utf8CharacterLength(std::string_view text) {
    const std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(text[0]));
    if (len == 0 || len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return 0;
    }
    constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const unsigned codePoint = DecodeUtf8(text.substr(0, len));
    if (codePoint < kSmallest[len] || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    return len;
}

// UTF-8 to code page 932, the extra single bytes included. Without
// references any character the code page lacks fails the whole text; with
// them it becomes "&#xHEX;", and so do the characters KeptAsReference names.
// std::nullopt also for text that is not UTF-8.
std::optional<std::string> EncodeCp932(std::string_view utf8, bool withReferences) {
    std::string out;
    std::size_t runStart = 0;
    std::size_t i = 0;
    const auto flushRun = [&](std::size_t end) {
        if (end == runStart) return true;
        const std::string_view run = utf8.substr(runStart, end - runStart);
        if (auto whole = ConvertUtf8ToCp932(run)) {
            out += *whole;
            return true;
        }
        if (!withReferences) return false;
        // Character by character, so only what the code page lacks becomes a reference.
        for (std::size_t k = 0; k < run.size();) {
            const std::size_t len = Utf8CharacterLength(run.substr(k));
            if (len == 0) return false;
            const std::string_view one = run.substr(k, len);
            if (auto converted = ConvertUtf8ToCp932(one)) {
                out += *converted;
            } else {
                AppendReference(out, DecodeUtf8(one));
            }
            k += len;
        }
        return true;
    };
    while (i < utf8.size()) {
        const std::size_t len = Utf8CharacterLength(utf8.substr(i));
        if (len == 0) return std::nullopt;
        const unsigned codePoint = DecodeUtf8(utf8.substr(i, len));
        const auto extra = ExtraByteFor(codePoint);
        const bool reference = withReferences && KeptAsReference(codePoint);
        if (extra || reference) {
            if (!flushRun(i)) return std::nullopt;
            if (extra) {
                out += static_cast<char>(*extra);
            } else {
                AppendReference(out, codePoint);
            }
            runStart = i + len;
        }
        i += len;
    }
    if (!flushRun(i)) return std::nullopt;
    return out;
}

}  // namespace

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
    // The converter's table lacks the few single bytes Windows maps as well;
    // the text between them goes through it in runs.
    std::string out;
    std::size_t runStart = 0;
    std::size_t i = 0;
    const auto flushRun = [&](std::size_t end) {
        if (end == runStart) return true;
        auto run = ConvertCp932ToUtf8(cp932.substr(runStart, end - runStart));
        if (!run) return false;
        out += *run;
        return true;
    };
    while (i < cp932.size()) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsCp932LeadByte(byte)) {
            i += 2;
            continue;
        }
        if (auto codePoint = ExtraCodePointFor(byte)) {
            if (!flushRun(i)) return std::nullopt;
            AppendUtf8(out, *codePoint);
            runStart = ++i;
            continue;
        }
        ++i;
    }
    // A lead byte at the very end, without its second byte, fails the run.
    if (!flushRun(cp932.size())) return std::nullopt;
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    auto cp932 = EncodeCp932(utf8, /*withReferences=*/false);
    // Only an exact way back counts: the converter writes U+00A5 as 0x5C (a
    // folder separator in a path), drops tag characters and gives several
    // characters the code of another.
    if (!cp932 || Cp932ToUtf8(*cp932) != utf8) return std::nullopt;
    return cp932;
}

std::optional<std::string> Utf8ToCp932WithReferences(std::string_view utf8) {
    return EncodeCp932(utf8, /*withReferences=*/true);
}

std::string Utf16LeToCp932(std::string_view utf16le) {
    utf16le = utf16le.substr(0, utf16le.size() - utf16le.size() % 2);
    if (auto whole = ConvertUtf16LeToCp932(utf16le)) return *whole;
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
        if (const auto extra = pair ? std::nullopt : ExtraByteFor(unit)) {
            out += static_cast<char>(*extra);
        } else {
            out += ConvertUtf16LeToCp932(utf16le.substr(i, len)).value_or("?");
        }
        i += len;
    }
    return out;
}

std::optional<std::string> Cp932ToUtf16Le(std::string_view cp932) {
    // Through UTF-8, so the single bytes the converter lacks come along.
    const auto utf8 = Cp932ToUtf8(cp932);
    return utf8 ? ConvertUtf8ToUtf16Le(*utf8) : std::nullopt;
}

bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Utf8CharacterLength(text.substr(i));
        if (len == 0) return false;
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
