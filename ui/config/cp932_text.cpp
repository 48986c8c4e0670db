#include "ui/config/cp932_text.h"

#include "platform/encoding.h"

namespace qm::cfg {

std::optional<std::string> ToCp932(const QString& text) { return Utf8ToCp932(text.toStdString()); }

std::string QuoteParameter(std::string_view cp932) {
    std::string quoted = "\"";
    for (char c : cp932) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace qm::cfg
