// Scripted answers for every modal interaction, and a record of what was asked,
// so dialog tests run headless and check exactly which boxes appeared.
#pragma once

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <stdexcept>

#include "ui/common/interaction.h"

// GCC misreads the optional<QString> copies below as uninitialised at -O2.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace qm::test {

class ScriptedInteraction : public Interaction {
  public:
    struct ShownMessage {
        QString text;
        QString caption;
    };

    // Queued answers, taken in order. A box with no queued answer gets Ok (or
    // Cancel when it has no Ok) so a forgotten script never blocks a test.
    std::deque<std::optional<Answer>> answers;
    std::deque<std::optional<QString>> fileNames;
    // Each runs one sub-dialog: fill its fields, then return accept or reject.
    std::deque<std::function<int(QDialog&)>> dialogs;

    std::vector<ShownMessage> messages;
    QStringList dialogTitles;
    QStringList startFolders;  // where each file chooser started

    Answer Message(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                   Icon) override {
        messages.push_back({text, caption});
        const bool ok = buttons == Buttons::Ok || buttons == Buttons::OkCancel;
        return Take(answers).value_or(ok ? Answer::Ok : Answer::Cancel);
    }

    std::optional<QString> OpenFileName(QWidget*, const QString&, const QString& startPath,
                                        const QString&) override {
        startFolders << startPath;
        return Take(fileNames);
    }

    // The choosers are cancelled.
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return {}; }
    std::optional<FontChoice> ChooseFont(QWidget*, const QFont&) override { return {}; }

    int RunDialog(QDialog& dialog) override {
        dialogTitles << dialog.windowTitle();
        if (dialogs.empty()) return QDialog::Rejected;
        auto run = std::move(dialogs.front());
        dialogs.pop_front();
        return run(dialog);
    }

  private:
    template <typename T>
    static std::optional<T> Take(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) return std::nullopt;
        auto value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

// The message naming a settings file that could not be written.
inline QString UnwritableText(const std::string& ini) {
    return QString::fromStdString(ini) +
           QString::fromUtf8(
               "\nこの設定ファイルに書き込めなかったので、変更は保存されていません。");
}

}  // namespace qm::test

#pragma GCC diagnostic pop
