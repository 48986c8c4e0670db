// The window of an upload run: one progress bar over all files, the file being
// sent and a cancel button. It closes by itself a moment after success; after
// a failure it stays open with the reasons and offers a retry, which reads
// the settings again (first opening them, with "設定") and sends what is left.
#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <thread>

#include "tavmo/upload_list.h"
#include "ui/common/interaction.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qm::tavmo {

class UploadWindow : public QDialog {
    Q_OBJECT

  public:
    // `run` has read its settings and holds an uploader.
    UploadWindow(UploadRun& run, Interaction& interaction, QWidget* parent = nullptr);
    ~UploadWindow() override;

    // Sends what is not sent yet, in the background; the window follows it.
    void Start();

    // How long the window stays after success, in milliseconds.
    void setCloseDelay(int milliseconds) { closeDelay_ = milliseconds; }

    // The close box or Escape while sending cancels first and closes after.
    void reject() override;

    bool running() const { return running_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* currentFileLabel() const { return currentFile_; }
    QPlainTextEdit* failureText() const { return failure_; }
    QPushButton* retryButton() const { return retry_; }
    QPushButton* settingsButton() const { return settings_; }
    QPushButton* cancelButton() const { return cancel_; }

  signals:
    // A run has ended and the window shows its result.
    void runFinished(bool allSent);

  private:
    class Relay;

    void ShowFileStarted(const QString& name);
    void ShowProgress(std::uint64_t done, std::uint64_t total);
    void ShowFinished();
    void CancelClicked();
    // The settings read again (after the settings window when `openSettings`), then Start.
    void Retry(bool openSettings);

    UploadRun& run_;
    Interaction& interaction_;
    QLabel* status_ = nullptr;
    QLabel* currentFile_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* failure_ = nullptr;
    QPushButton* retry_ = nullptr;
    QPushButton* settings_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::thread worker_;
    std::atomic<bool> cancelRequested_{false};
    bool running_ = false;
    bool closeWhenDone_ = false;
    int closeDelay_ = 1500;
};

}  // namespace qm::tavmo
