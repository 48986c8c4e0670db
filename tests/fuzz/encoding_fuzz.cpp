// The code page 932 conversions on arbitrary bytes, taken as code page 932,
// as UTF-8 and as UTF-16LE. Where a conversion succeeds, going back and forth
// again must change nothing, and whole characters are never cut.
#include "fuzz_support.h"
#include "platform/encoding.h"

namespace qm::fuzz {

void CheckPrefixLength(std::string_view text, std::size_t maxBytes) {
    const std::size_t length = Cp932PrefixLength(text, maxBytes);
    Require(length <= text.size() && length <= maxBytes, "a prefix lies inside the text");
    const auto width = [&](std::size_t at) { return IsCp932LeadByte(text[at] & 0xFF) ? 2 : 1; };
    // Walking the text character by character must land on the prefix's end.
    std::size_t at = 0;
    while (at < length) at += width(at);
    Require(at == length || (at > text.size() && length == text.size()),
            "a prefix ends between characters");
    Require(length == text.size() || length + width(length) > maxBytes,
            "a prefix is the longest that fits");
}

void CheckCp932(std::string_view cp932) {
    auto utf8 = Cp932ToUtf8(cp932);
    if (!utf8) return;
    // Some characters have two codes, so only the second trip is exact.
    auto back = Utf8ToCp932(*utf8);
    Require(back.has_value(), "decoded code page 932 text encodes again");
    Require(Cp932ToUtf8(*back) == utf8, "code page 932 to UTF-8 and back keeps every character");
    Require(Utf8ToCp932WithReferences(*utf8) == back, "text that fits needs no references");
    auto wide = Cp932ToUtf16Le(cp932);
    Require(wide.has_value(), "valid code page 932 text goes into UTF-16LE");
    Require(Utf16LeToCp932(*wide) == *back, "UTF-16LE and UTF-8 give the same code page 932 text");
}

void CheckUtf8(std::string_view utf8) {
    auto cp932 = Utf8ToCp932(utf8);
    auto withReferences = Utf8ToCp932WithReferences(utf8);
    if (cp932) {
        Require(withReferences == cp932, "references only for what code page 932 lacks");
        auto again = Cp932ToUtf8(*cp932);
        Require(again && Utf8ToCp932(*again) == cp932, "UTF-8 to code page 932 and back is stable");
    }
    Require(!withReferences || Cp932ToUtf8(*withReferences), "text with references is valid");
}

void CheckUtf16(std::string_view utf16le) {
    // Whatever the UTF-16 holds, the result is valid code page 932 text.
    const std::string cp932 = Utf16LeToCp932(utf16le);
    Require(Cp932ToUtf8(cp932).has_value(), "UTF-16LE always reads as valid code page 932");
    auto wide = Cp932ToUtf16Le(cp932);
    Require(wide && Utf16LeToCp932(*wide) == cp932, "UTF-16LE read as code page 932 is stable");
}

QM_FUZZ_TARGET(input) {
    const std::size_t maxBytes = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckPrefixLength(text, maxBytes);
    CheckCp932(text);
    CheckUtf8(text);
    CheckUtf16(text);
}

}  // namespace qm::fuzz
