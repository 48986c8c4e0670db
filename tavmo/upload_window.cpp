#include "tavmo/upload_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "tavmo/batch_run.h"
#include "tavmo/settings_window.h"

namespace qm::tavmo {

namespace {

// The bar counts in thousandths, so files of any size fit an int.
constexpr int kBarSteps = 1000;

QString SizeText(std::uint64_t bytes) {
    if (bytes < 1024) return QStringLiteral("%1 バイト").arg(bytes);
    if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg(double(bytes) / 1024, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
}

}  // namespace

// Carries what the sending thread sees over to the window's thread.
class UploadWindow::Relay : public ProgressObserver {
  public:
    explicit Relay(UploadWindow& window) : window_(window) {}

    // The posted calls may run after this relay is gone: they hold the window.
    void FileStarted(const UploadItem& item) override {
        const QString name = QString::fromStdString(item.name);
        UploadWindow* window = &window_;
        QMetaObject::invokeMethod(
            window, [window, name] { window->ShowFileStarted(name); }, Qt::QueuedConnection);
    }

    void BytesSent(std::uint64_t done, std::uint64_t total) override {
        UploadWindow* window = &window_;
        QMetaObject::invokeMethod(
            window, [window, done, total] { window->ShowProgress(done, total); },
            Qt::QueuedConnection);
    }

    bool CancelRequested() override { return window_.cancelRequested_.load(); }

  private:
    UploadWindow& window_;
};

UploadWindow::UploadWindow(UploadRun& run, Interaction& interaction, QWidget* parent)
    : QDialog(parent), run_(run), interaction_(interaction) {
    setWindowTitle(QStringLiteral("tavmo - 送信"));
    status_ = new QLabel(QStringLiteral("送信の準備をしています..."), this);
    currentFile_ = new QLabel(this);
    currentFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, kBarSteps);
    progress_->setValue(0);
    failure_ = new QPlainTextEdit(this);
    failure_->setReadOnly(true);
    failure_->hide();
    retry_ = new QPushButton(QStringLiteral("再試行"), this);
    retry_->hide();
    settings_ = new QPushButton(QStringLiteral("設定"), this);
    settings_->hide();
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(settings_);
    buttons->addWidget(retry_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(currentFile_);
    layout->addWidget(progress_);
    layout->addWidget(failure_, 1);
    layout->addLayout(buttons);
    resize(460, sizeHint().height());

    connect(cancel_, &QPushButton::clicked, this, &UploadWindow::CancelClicked);
    connect(retry_, &QPushButton::clicked, this, [this] { Retry(false); });
    connect(settings_, &QPushButton::clicked, this, [this] { Retry(true); });
}

UploadWindow::~UploadWindow() {
    cancelRequested_ = true;
    if (worker_.joinable()) worker_.join();
}

void UploadWindow::Start() {
    if (running_) return;
    if (worker_.joinable()) worker_.join();
    running_ = true;
    cancelRequested_ = false;
    closeWhenDone_ = false;
    status_->setText(QStringLiteral("送信しています..."));
    failure_->hide();
    failure_->clear();
    retry_->hide();
    settings_->hide();
    cancel_->setText(QStringLiteral("キャンセル"));
    cancel_->setEnabled(true);
    Uploader& uploader = *run_.uploader();
    ShowProgress(uploader.SentBytes(), uploader.TotalBytes());
    worker_ = std::thread([this, &uploader] {
        Relay relay(*this);
        uploader.SendPending(relay);
        QMetaObject::invokeMethod(
            this, [this] { ShowFinished(); }, Qt::QueuedConnection);
    });
}

void UploadWindow::ShowFileStarted(const QString& name) {
    currentFile_->setText(QStringLiteral("送信中: ") + name);
}

void UploadWindow::ShowProgress(std::uint64_t done, std::uint64_t total) {
    const int value = total == 0 ? kBarSteps : static_cast<int>(done * kBarSteps / total);
    progress_->setValue(std::min(value, kBarSteps));
    progress_->setFormat(QStringLiteral("%p%  (%1 / %2)").arg(SizeText(done), SizeText(total)));
}

void UploadWindow::ShowFinished() {
    if (worker_.joinable()) worker_.join();
    running_ = false;
    const Uploader& uploader = *run_.uploader();
    const bool allSent = uploader.AllSent();
    ShowProgress(uploader.SentBytes(), uploader.TotalBytes());
    if (allSent) {
        status_->setText(QStringLiteral("すべてのファイルを送りました。"));
        currentFile_->clear();
        cancel_->setText(QStringLiteral("閉じる"));
        QTimer::singleShot(closeDelay_, this, &QDialog::accept);
    } else if (closeWhenDone_) {
        QDialog::reject();
    } else {
        status_->setText(uploader.cancelled()
                             ? QStringLiteral("取り消しました。送れていないファイルがあります。")
                             : QStringLiteral("送れなかったファイルがあります。"));
        currentFile_->clear();
        failure_->setPlainText(QString::fromStdString(FailureReport(uploader)));
        failure_->show();
        failure_->setMinimumHeight(120);
        resize(width(), std::max(height(), sizeHint().height()));
        retry_->show();
        settings_->show();
        cancel_->setText(QStringLiteral("閉じる"));
        cancel_->setEnabled(true);
    }
    emit runFinished(allSent);
}

void UploadWindow::CancelClicked() {
    if (!running_) {
        if (run_.uploader()->AllSent()) {
            QDialog::accept();
        } else {
            QDialog::reject();
        }
        return;
    }
    cancelRequested_ = true;
    cancel_->setEnabled(false);
    status_->setText(QStringLiteral("取り消しています..."));
}

void UploadWindow::Retry(bool openSettings) {
    if (running_) return;
    if (openSettings) {
        SettingsWindow window(interaction_, run_.iniPath(), run_.keyring(), this);
        if (interaction_.RunDialog(window) != QDialog::Accepted) return;
    }
    const std::string problem = run_.Reload();
    if (!problem.empty()) {
        failure_->setPlainText(QString::fromStdString(problem));
        return;
    }
    Start();
}

void UploadWindow::reject() {
    if (running_) {
        closeWhenDone_ = true;
        CancelClicked();
        return;
    }
    QDialog::reject();
}

}  // namespace qm::tavmo
