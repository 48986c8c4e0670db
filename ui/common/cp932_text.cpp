#include "ui/common/cp932_text.h"

#include "platform/encoding.h"

namespace qm {

QString FromCp932(std::string_view cp932) {
    if (auto utf8 = Cp932ToUtf8(cp932)) return QString::fromStdString(*utf8);
    QString text;
    std::size_t i = 0;
    while (i < cp932.size()) {
        const bool lead = IsCp932LeadByte(static_cast<unsigned char>(cp932[i]));
        const std::size_t length = lead && i + 1 < cp932.size() ? 2 : 1;
        if (auto one = Cp932ToUtf8(cp932.substr(i, length))) {
            text += QString::fromStdString(*one);
            i += length;
        } else {
            text += QChar(QChar::ReplacementCharacter);
            ++i;
        }
    }
    return text;
}

std::string ToCp932WithReferences(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    auto bytes = Utf8ToCp932WithReferences(std::string_view(utf8.constData(), utf8.size()));
    // QString always yields valid UTF-8, so there is no other outcome.
    return bytes ? *bytes : std::string();
}

std::string FieldTextToCp932(const QString& text, std::string_view originalCp932) {
    if (text == FromCp932(originalCp932)) return std::string(originalCp932);
    return ToCp932WithReferences(text);
}

std::optional<std::string> TryToCp932(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

QString NormalizeLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
    text.replace(QChar(QChar::LineSeparator), QChar('\n'));
    return text;
}

std::string EditTextToCp932(const QString& text) {
    QString crlf = NormalizeLineBreaks(text);
    crlf.replace(QChar('\n'), QStringLiteral("\r\n"));
    return ToCp932WithReferences(crlf);
}

QString EditTextFromCp932(std::string_view cp932) { return NormalizeLineBreaks(FromCp932(cp932)); }

}  // namespace qm
