// The user's tag list in the main window, and the one way every tag builder
// puts its text into the body: wrapping the body's selection.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "settings/numbered_list.h"
#include "settings/profile.h"

class QListWidget;
class QPlainTextEdit;

namespace qm {

// Refills `list` from the system settings file as read: one item per tag in
// number order, the item's text its name and its Qt::UserRole data its
// number. An empty tag list is first given its "<HR>" entry.
void LoadTagListBox(QListWidget& list, SettingsFile systemFile);

// The tag behind the list's current item, read afresh from the settings
// file; std::nullopt when no item is current.
std::optional<TagEntry> CurrentTagEntry(const QListWidget& list, const std::string& systemIniPath);

// Replaces the selection of `body` (or inserts at the caret) by `open`, the
// selected text and `close`, then selects all of that and scrolls it into
// view. Positions are the edit's own; nothing is cut for length. Focus stays
// where it is; the wrap is one step of the edit's undo history.
void WrapBodySelection(QPlainTextEdit& body, const QString& open, const QString& close);

}  // namespace qm
