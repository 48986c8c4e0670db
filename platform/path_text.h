// Paths in the settings are code page 932 bytes and may use '\' or '/' as
// separators. A byte-wise search for 0x5C would find the second byte of
// characters such as 十 (0x8F 0x5C) and cut a name in half, so every search
// here walks the text character by character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Index just past the last separator ('/' or '\' outside a double-byte
// character), or 0 when there is none.
std::size_t AfterLastSeparator(std::string_view path);

bool HasSeparator(std::string_view path);

// The folder part with its separator kept ("C:\web\a.html" -> "C:\web\"),
// empty when the path has no separator.
std::string FolderPart(std::string_view path);

// The part after the last separator ("a.html"); the whole text when there is none.
std::string FileNamePart(std::string_view path);

// The name the file system uses: UTF-8, with '\' separators turned into '/'.
// std::nullopt when the bytes are not valid code page 932.
std::optional<std::string> ToFsPath(std::string_view cp932Path);

}  // namespace qm
