// Shift-JIS (code page 932) is the text of every file and setting; UTF-8 is what
// the file system, the terminal and Qt speak. These convert at that edge.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// True for a byte that starts a double-byte character in code page 932.
bool IsCp932LeadByte(unsigned char byte);

// std::nullopt when the input is not valid in the source encoding or holds a
// character the target cannot represent; nothing is ever replaced by '?'.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Like Utf8ToCp932, but a character code page 932 cannot hold becomes an HTML
// numeric character reference ("&#x1F600;"), so typed text is never lost.
// std::nullopt only for input that is not valid UTF-8.
std::optional<std::string> Utf8ToCp932WithReferences(std::string_view utf8);

// UTF-16LE text (no byte-order mark) as the original platform's ANSI functions
// see it: a character code page 932 lacks, or a broken surrogate, becomes '?'.
// A stray last byte of an odd-length input is ignored.
std::string Utf16LeToCp932(std::string_view utf16le);

// std::nullopt when the input is not valid code page 932.
std::optional<std::string> Cp932ToUtf16Le(std::string_view cp932);

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no cut sequence.
bool IsWellFormedUtf8(std::string_view text);

// Length of the longest prefix of `text` that is at most `maxBytes` long and
// does not end in the middle of a double-byte character.
std::size_t Cp932PrefixLength(std::string_view text, std::size_t maxBytes);

}  // namespace qm
