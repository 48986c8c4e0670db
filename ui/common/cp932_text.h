// The windows speak QString; files, settings and the engine speak code page
// 932 bytes with CR LF line ends. These convert at that edge.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Bytes that are not valid code page 932 show as U+FFFD, one per bad byte,
// so a damaged setting is still displayed rather than dropped.
QString FromCp932(std::string_view cp932);

// Typed text: a character code page 932 cannot hold becomes an HTML numeric
// character reference, so nothing typed is lost on the way into a page.
std::string ToCp932WithReferences(const QString& text);

// A box filled from `originalCp932` and stored again: while its text is what
// those bytes show, the bytes themselves, so a code the table gives no
// character of its own (a second code for one character, a damaged byte)
// comes back unchanged; otherwise the typed text with references.
std::string FieldTextToCp932(const QString& text, std::string_view originalCp932);

// Paths and names: std::nullopt when the text holds a character code page 932
// cannot hold, since a reference would name another file.
std::optional<std::string> TryToCp932(const QString& text);

// Edit box text: "\n" in the box, CR LF outside.
std::string EditTextToCp932(const QString& text);
QString EditTextFromCp932(std::string_view cp932);

// Any CR LF, lone CR, paragraph or line separator becomes "\n".
QString NormalizeLineBreaks(QString text);

// A program text written in UTF-8 in this source, as a QString.
inline QString Ui(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace qm
