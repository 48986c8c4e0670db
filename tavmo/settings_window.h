// The tool's own settings window ("/set"): where the files go and how to log in.
#pragma once

#include <QDialog>
#include <string>
#include <thread>

#include "tavmo/upload_settings.h"
#include "ui/common/interaction.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm::tavmo {

class SettingsWindow : public QDialog {
    Q_OBJECT

  public:
    // The password is kept in `keyring` when one is given and takes it.
    SettingsWindow(Interaction& interaction, std::string iniPath,
                   PasswordKeyring* keyring = nullptr, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // Saves and closes; a destination that cannot be used or a failed write
    // is reported and the window stays open.
    void accept() override;

    UploadSettings EnteredSettings() const;

    QLineEdit* destinationEdit() const { return destination_; }
    QLineEdit* userEdit() const { return user_; }
    QLineEdit* passwordEdit() const { return password_; }
    QLineEdit* keyFileEdit() const { return keyFile_; }
    QLineEdit* imageFolderEdit() const { return imageFolder_; }
    QCheckBox* passiveBox() const { return passive_; }
    QCheckBox* verifyBox() const { return verify_; }
    QPushButton* testButton() const { return test_; }
    bool testRunning() const { return tester_.joinable() && testing_; }

  private:
    void Fill(const UploadSettings& settings);
    void TestConnectionClicked();
    void ShowTestResult(const QString& problem);
    void BrowseKeyFileClicked();
    // Empty when the entered destination and image folder can be used.
    QString DestinationProblem() const;

    Interaction& interaction_;
    std::string iniPath_;
    PasswordKeyring* keyring_ = nullptr;
    UploadSettings loaded_;
    QLineEdit* destination_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* keyFile_ = nullptr;
    QLineEdit* imageFolder_ = nullptr;
    QCheckBox* passive_ = nullptr;
    QCheckBox* verify_ = nullptr;
    QPushButton* test_ = nullptr;
    QLabel* testStatus_ = nullptr;
    std::thread tester_;
    bool testing_ = false;
};

}  // namespace qm::tavmo
