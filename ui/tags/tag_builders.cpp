#include "ui/tags/tag_builders.h"

#include <QStringView>

#include "engine/diary_page.h"
#include "platform/encoding.h"
#include "ui/common/interaction.h"
#include "ui/tags/anchor_tag_dialog.h"
#include "ui/tags/font_tag_dialog.h"
#include "ui/tags/image_tag_dialog.h"

namespace qm {

std::optional<TagWrap> RunFontTagDialog(QWidget* parent, Interaction& io) {
    FontTagDialog dialog(io, parent);
    if (io.RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return BuildFontTag(dialog.Fields());
}

std::optional<TagWrap> RunAnchorTagDialog(QWidget* parent, Interaction& io) {
    AnchorTagDialog dialog(parent);
    if (io.RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return BuildAnchorTag(dialog.Fields());
}

std::optional<TagWrap> RunImageTagDialog(QWidget* parent, Interaction& io,
                                         const ActiveConfig& config, RunState& run,
                                         const QString& startFolder) {
    ImageTagDialog dialog(
        io, startFolder,
        [&](const std::string& path, std::string& problem) {
            return PrepareWebImage(config, run, path, problem);
        },
        parent);
    if (io.RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    const ImageTagFields& fields = dialog.Fields();
    std::optional<QString> tag = BuildImageTag(fields);
    if (!tag) return std::nullopt;
    if (!fields.path.empty()) run.imageUploadList.push_back(fields.path);
    if (fields.webImage) run.webImages.push_back(*fields.webImage);
    return TagWrap{*tag, QString()};
}

QString CutToCp932Bytes(const QString& text, std::size_t maxBytes) {
    std::size_t used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        // One character at a time, a surrogate pair being one character.
        const qsizetype units =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate()
                ? 2
                : 1;
        const std::string utf8 = QStringView(text).mid(end, units).toUtf8().toStdString();
        const std::optional<std::string> cp932 = Utf8ToCp932WithReferences(utf8);
        const std::size_t bytes = cp932 ? cp932->size() : utf8.size();
        if (used + bytes > maxBytes) break;
        used += bytes;
        end += units;
    }
    return text.left(end);
}

}  // namespace qm
