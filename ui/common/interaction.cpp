#include "ui/common/interaction.h"

#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

#include "platform/native_path.h"

namespace qm {

namespace {

QMessageBox::StandardButtons ToQtButtons(Interaction::Buttons buttons) {
    switch (buttons) {
        case Interaction::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Interaction::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Interaction::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Interaction::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQtIcon(Interaction::Icon icon) {
    switch (icon) {
        case Interaction::Icon::Information:
            return QMessageBox::Information;
        case Interaction::Icon::Warning:
            return QMessageBox::Warning;
        case Interaction::Icon::Critical:
            return QMessageBox::Critical;
        case Interaction::Icon::Question:
            return QMessageBox::Question;
        case Interaction::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Interaction::Answer DesktopInteraction::Message(QWidget* parent, const QString& text,
                                                const QString& caption, Buttons buttons,
                                                Icon icon) {
    QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons), parent);
    // The close box answers like the "negative" button of the box.
    if (buttons == Buttons::YesNo) box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<QString> DesktopInteraction::OpenFileName(QWidget* parent, const QString& caption,
                                                        const QString& startPath,
                                                        const QString& filter) {
    const QString chosen = QFileDialog::getOpenFileName(parent, caption, startPath, filter);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QColor> DesktopInteraction::ChooseColor(QWidget* parent, const QColor& initial) {
    QColorDialog dialog(initial, parent);
    // The custom colours are part of Qt's dialog; showing them is the default.
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedColor();
}

std::optional<Interaction::FontChoice> DesktopInteraction::ChooseFont(QWidget* parent,
                                                                      const QFont& initial) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return FontChoice{font, QColor(0, 0, 0)};
}

int DesktopInteraction::RunDialog(QDialog& dialog) { return dialog.exec(); }

QString ChooserStartFolder(std::string_view fileCp932) {
    if (const auto native = NativePathOf(fileCp932)) {
        const QFileInfo file(QString::fromStdString(native->str()));
        if (file.isFile()) return file.absolutePath();
    }
    return QDir::homePath();
}

}  // namespace qm
