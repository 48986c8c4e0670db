// The file name of the current copy, the fixed-name copy of the newest page.
// Only the setting changes: no file is moved or removed here.
#pragma once

#include <QDialog>
#include <QString>
#include <cstddef>

class QLineEdit;

namespace qm {

struct ActiveConfig;
class Interaction;

// A new name is accepted up to this many Shift-JIS bytes.
inline constexpr std::size_t kMaxCurrentNameBytes = 100;

class CurrentNameDialog : public QDialog {
    Q_OBJECT

  public:
    explicit CurrentNameDialog(const ActiveConfig& config, QWidget* parent = nullptr);

    // The text of the new-name box as it was when OK was pressed.
    const QString& newName() const { return newName_; }

  public slots:
    void accept() override;

  private:
    QLineEdit* newNameBox_ = nullptr;  // 1082
    QString newName_;
};

// Asks for a new name until it fits and is a plain file name of the diary
// folder that names none of the program's or the user's files; stores it in
// currentName and under FILEPATH/CURRENTNAME. True when the name was changed.
bool RenameCurrentCopy(QWidget* parent, ActiveConfig& config, Interaction& io);

}  // namespace qm
