// The windows speak QString; files, settings and the engine speak code page
// 932 bytes with CR LF line ends. These convert at that edge.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qm {

// Bytes that are not valid code page 932 show as U+FFFD, one per bad byte,
// so a damaged setting is still displayed rather than dropped.
QString FromCp932(std::string_view cp932);

// A character code page 932 cannot hold becomes an HTML numeric character
// reference, so nothing typed is lost on the way into a page.
std::string ToCp932(const QString& text);

// Edit box text: "\n" in the box, CR LF outside.
std::string EditTextToCp932(const QString& text);
QString EditTextFromCp932(std::string_view cp932);

// Any CR LF, lone CR, paragraph or line separator becomes "\n".
QString NormalizeLineBreaks(QString text);

}  // namespace qm
