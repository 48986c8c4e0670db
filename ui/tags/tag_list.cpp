#include "ui/tags/tag_list.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "settings/keys.h"
#include "ui/common/cp932_text.h"

namespace qm {

void LoadTagListBox(QListWidget& list, SettingsFile systemFile) {
    list.clear();
    const int count = CountTagEntries(systemFile);
    const std::vector<std::string> names =
        ReadListEntries(systemFile, syskeys::kTagSection, count, syskeys::kTagNameCapacity);
    for (int n = 0; n < count; ++n) {
        auto* item = new QListWidgetItem(FromCp932(names[static_cast<std::size_t>(n)]));
        item->setData(Qt::UserRole, n);
        list.insertItem(n, item);
    }
}

std::optional<TagEntry> CurrentTagEntry(const QListWidget& list, const std::string& systemIniPath) {
    const QListWidgetItem* item = list.currentItem();
    if (item == nullptr) return std::nullopt;
    const int n = item->data(Qt::UserRole).toInt();
    return ReadTagEntry(systemIniPath, n, syskeys::kTagNameCapacity);
}

void WrapBodySelection(QPlainTextEdit& body, const QString& open, const QString& close) {
    QTextCursor cursor = body.textCursor();
    const int start = cursor.selectionStart();
    const QString replacement = NormalizeLineBreaks(open) +
                                NormalizeLineBreaks(cursor.selectedText()) +
                                NormalizeLineBreaks(close);
    // One edit block: Ctrl+Z takes the whole wrap back in one step and the
    // typing before it stays undoable.
    cursor.beginEditBlock();
    cursor.insertText(replacement);
    cursor.endEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(start + static_cast<int>(replacement.size()), QTextCursor::KeepAnchor);
    body.setTextCursor(cursor);
    body.ensureCursorVisible();
}

}  // namespace qm
