// Shift-JIS (code page 932) is the text of every file and setting; UTF-8 is what
// the file system, the terminal and Qt speak. These convert at that edge.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// True for a byte that starts a double-byte character in code page 932.
bool IsCp932LeadByte(unsigned char byte);

// Code page 932 as Windows decodes it: the code page's table plus the single
// bytes 0x80 (U+0080), 0xA0 (U+F8F0) and 0xFD to 0xFF (U+F8F1 to U+F8F3).
// std::nullopt when the bytes are not valid code page 932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// Paths, names and the program's own texts: std::nullopt unless the result
// decodes back to exactly `utf8`, so a character the code page lacks is
// never replaced by a look-alike or another character (U+00A5 would become
// 0x5C, a folder separator) and nothing is dropped.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Typed text: a character code page 932 cannot hold becomes an HTML numeric
// character reference ("&#x1F600;"), so nothing typed is lost; so do U+00A5
// and U+203E (browsers would show their codes as \ and ~) and the tag
// characters U+E0000 to U+E007F. Look-alikes such as U+301C keep the code
// browsers show them by. std::nullopt only for text that is not valid UTF-8
// (including overlong forms and surrogates).
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
