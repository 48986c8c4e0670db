// The file path settings of one configuration set: prototype page, log page,
// template, upload tool, roll-over mode and the current-copy options. Every
// change goes to the set's file (configIniPath) as soon as it is made.
#pragma once

#include <QDialog>
#include <string>

#include "settings/active_config.h"
#include "settings/keys.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qm {

class Interaction;

class PathSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    PathSettingsDialog(ActiveConfig& config, Interaction& io, QWidget* parent = nullptr);

  public slots:
    // OK: writes the four paths and the mode, then closes only when the
    // prototype page and the template are both set.
    void accept() override;

  private:
    void BuildControls();
    void InitializeControls();
    void ShowPaths();
    void RefreshDiaryPage();
    void UpdateCopyOptions();
    void ChangeMode(SplitMode mode);
    void BrowsePath(std::string& field, const TextKey& key, const QString& filter,
                    bool isPrototype);
    void ClearLogPage();
    void SetCopyOption(QCheckBox* box, const IntKey& key, int& field);
    void RenameCurrentCopyClicked();
    void OpenLogFormat();

    ActiveConfig& config_;
    Interaction& io_;

    QRadioButton* monthly_ = nullptr;      // 2001
    QRadioButton* weekly_ = nullptr;       // 2002
    QRadioButton* halfMonthly_ = nullptr;  // 2003
    QRadioButton* asIs_ = nullptr;         // 2000
    QCheckBox* makeCopy_ = nullptr;        // 1027
    QPushButton* renameCopy_ = nullptr;    // 1075
    QLabel* copyName_ = nullptr;           // 1090
    QCheckBox* alwaysOne_ = nullptr;       // 1086
    QLabel* alwaysOneNote_ = nullptr;      // 1089
    QLineEdit* prototype_ = nullptr;       // 1024
    QLineEdit* diaryPage_ = nullptr;       // 1014
    QLineEdit* log_ = nullptr;             // 1025
    QPushButton* browseLog_ = nullptr;     // 1026
    QLineEdit* template_ = nullptr;        // 1015
    QLineEdit* uploader_ = nullptr;        // 1016
};

}  // namespace qm
