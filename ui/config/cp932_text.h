// The configuration windows keep every setting as Shift-JIS bytes and show
// them in Qt widgets; these convert at that edge.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "ui/main/cp932_text.h"

namespace qm::cfg {

// Bytes that are not valid Shift-JIS (a hand-edited settings file) are shown
// as replacement characters rather than hidden.
using qm::FromCp932;

// std::nullopt when the text holds a character Shift-JIS cannot represent.
std::optional<std::string> ToCp932(const QString& text);

// A program text written in UTF-8 in this source, as a QString.
inline QString Ui(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A parameter text that the process starter hands over as one argument:
// wrapped in quotes, with a quote inside doubled.
std::string QuoteParameter(std::string_view cp932);

}  // namespace qm::cfg
