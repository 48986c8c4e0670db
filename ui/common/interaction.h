// Every modal interaction of the windows goes through this interface: message
// boxes, file choosers, the colour and font choosers and sub-dialogs. The
// program uses DesktopInteraction; tests script the answers instead.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <string_view>

class QDialog;
class QWidget;

namespace qm {

class Interaction {
  public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    // What the font chooser gives back; Linux choosers offer no colour, so
    // `color` stays black unless a chooser sets it.
    struct FontChoice {
        QFont font;
        QColor color = QColor(0, 0, 0);
    };

    virtual ~Interaction() = default;

    // A message box modal to `parent`; closing it by its close box counts as
    // Cancel, or as No when there is no Cancel button, or Ok for an Ok box.
    virtual Answer Message(QWidget* parent, const QString& text, const QString& caption,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;

    // An open-file chooser; `filter` is in Qt's form ("Text (*.txt);;All (*)").
    // std::nullopt when the user cancels.
    // `startPath` is a folder (see ChooserStartFolder).
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& caption,
                                                const QString& startPath,
                                                const QString& filter) = 0;

    // The colour chooser with its custom-colour panel shown.
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;

    virtual std::optional<FontChoice> ChooseFont(QWidget* parent, const QFont& initial) = 0;

    // Runs a sub-dialog modally and returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;
};

// The real thing: QMessageBox, QFileDialog, QColorDialog, QFontDialog, exec().
class DesktopInteraction : public Interaction {
  public:
    Answer Message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& caption,
                                        const QString& startPath, const QString& filter) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<FontChoice> ChooseFont(QWidget* parent, const QFont& initial) override;
    int RunDialog(QDialog& dialog) override;
};

// Where a file chooser starts for a file that belongs beside `fileCp932`:
// that file's folder when the file is there, else the user's home, never
// the program's hidden settings folder.
QString ChooserStartFolder(std::string_view fileCp932);

}  // namespace qm
