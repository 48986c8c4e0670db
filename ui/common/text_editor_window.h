// A plain text editor for the Shift-JIS files of a diary (the template, the
// pages): "quillmaker edit FILE". It reads and writes code page 932 and keeps
// the file's own line ends, so nothing the diary relies on changes.
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>

class QPlainTextEdit;

namespace qm {

class Interaction;

class TextEditorWindow : public QMainWindow {
    Q_OBJECT

  public:
    TextEditorWindow(std::string fsPathUtf8, Interaction& io, QWidget* parent = nullptr);

    // Reads the file; a missing file starts empty and is created on saving.
    // False, after a message, when it cannot be read or is not Shift-JIS.
    bool Load();

    // Writes the text back as Shift-JIS. False when nothing was written
    // (the user declined, or the write failed after a message).
    bool Save();

    QPlainTextEdit* editor() const { return editor_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::optional<std::string> EncodeForSaving();
    bool ConfirmOverwriteIfChanged();

    std::string fsPath_;
    Interaction& io_;
    QPlainTextEdit* editor_ = nullptr;
    std::optional<std::string> loadedBytes_;  // what the file held when read; none for a new file
    bool crlf_ = true;                        // the file's line ends
};

// The whole editor run for `quillmaker edit FILE`; returns the exit status.
int RunTextEditor(const std::string& fsPathUtf8);

}  // namespace qm
