#include "tavmo/settings_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "tavmo/remote_url.h"
#include "tavmo/transfer.h"

namespace qm::tavmo {

namespace {

const QString kCaption = QStringLiteral("tavmo 設定");

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
std::string ToUtf8(const QString& text) { return text.trimmed().toStdString(); }

}  // namespace

SettingsWindow::SettingsWindow(Interaction& interaction, std::string iniPath,
                               PasswordKeyring* keyring, QWidget* parent)
    : QDialog(parent), interaction_(interaction), iniPath_(std::move(iniPath)), keyring_(keyring) {
    setWindowTitle(kCaption);

    destination_ = new QLineEdit(this);
    destination_->setPlaceholderText(QStringLiteral("ftp://example.jp/public_html/diary/"));
    user_ = new QLineEdit(this);
    password_ = new QLineEdit(this);
    password_->setEchoMode(QLineEdit::Password);
    keyFile_ = new QLineEdit(this);
    keyFile_->setPlaceholderText(QStringLiteral("SFTPで鍵を使うときだけ"));
    auto* browse = new QPushButton(QStringLiteral("参照..."), this);
    imageFolder_ = new QLineEdit(this);
    imageFolder_->setPlaceholderText(QStringLiteral("空欄ならページと同じフォルダ (例: img/)"));
    passive_ = new QCheckBox(QStringLiteral("パッシブモード (FTP)"), this);
    verify_ = new QCheckBox(QStringLiteral("サーバーの証明書・ホスト鍵を確認する"), this);

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(keyFile_);
    keyRow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("送り先 (URL):"), destination_);
    form->addRow(QStringLiteral("ユーザー名:"), user_);
    form->addRow(QStringLiteral("パスワード:"), password_);
    form->addRow(QStringLiteral("鍵ファイル:"), keyRow);
    form->addRow(QStringLiteral("画像の送り先:"), imageFolder_);
    form->addRow(QString(), passive_);
    form->addRow(QString(), verify_);

    auto* hint = new QLabel(
        QStringLiteral(
            "使える送り先: ftp://  ftps:// (明示的TLS)  sftp://  file:// またはフォルダのパス"),
        this);
    hint->setWordWrap(true);

    test_ = new QPushButton(QStringLiteral("接続テスト"), this);
    testStatus_ = new QLabel(this);
    testStatus_->setWordWrap(true);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(test_);
    testRow->addWidget(testStatus_, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addLayout(testRow);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());

    // Enter saves; the side buttons only act when clicked.
    browse->setAutoDefault(false);
    test_->setAutoDefault(false);

    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsWindow::reject);
    connect(test_, &QPushButton::clicked, this, &SettingsWindow::TestConnectionClicked);
    connect(browse, &QPushButton::clicked, this, &SettingsWindow::BrowseKeyFileClicked);

    auto settings = LoadSettings(iniPath_, keyring_);
    if (!settings) {
        interaction_.Message(
            this,
            QStringLiteral("設定ファイルを読めませんでした。初めの値で開きます。\n") +
                FromUtf8(iniPath_),
            kCaption);
        settings = UploadSettings{};
    }
    loaded_ = *settings;
    Fill(loaded_);
}

SettingsWindow::~SettingsWindow() {
    if (tester_.joinable()) tester_.join();
}

void SettingsWindow::Fill(const UploadSettings& settings) {
    destination_->setText(FromUtf8(settings.destination));
    user_->setText(FromUtf8(settings.user));
    password_->setText(FromUtf8(settings.password));
    keyFile_->setText(FromUtf8(settings.keyFile));
    imageFolder_->setText(FromUtf8(settings.imageFolder));
    passive_->setChecked(settings.passive);
    verify_->setChecked(settings.verifyPeer);
}

UploadSettings SettingsWindow::EnteredSettings() const {
    UploadSettings settings = loaded_;  // keeps what the window does not show
    settings.destination = ToUtf8(destination_->text());
    settings.user = ToUtf8(user_->text());
    settings.password = password_->text().toStdString();  // blanks may be part of it
    settings.keyFile = ToUtf8(keyFile_->text());
    settings.imageFolder = ToUtf8(imageFolder_->text());
    settings.passive = passive_->isChecked();
    settings.verifyPeer = verify_->isChecked();
    return settings;
}

QString SettingsWindow::DestinationProblem() const {
    const UploadSettings settings = EnteredSettings();
    if (settings.destination.empty()) return {};
    auto folder = ParseRemoteFolder(settings.destination);
    if (!folder) {
        return QStringLiteral(
            "送り先のURLが正しくありません。\nftp:// ftps:// sftp:// file:// "
            "のどれかで始まるURLか、"
            "/ で始まるフォルダのパスを書いてください。");
    }
    if (!ResolveImageFolder(*folder, settings.imageFolder)) {
        return QStringLiteral("画像の送り先が正しくありません。");
    }
    if (!SchemeAvailable(folder->scheme)) {
        return QStringLiteral(
            "この送り先の種類には、このパソコンの通信ライブラリが対応していません。");
    }
    return {};
}

void SettingsWindow::accept() {
    const QString problem = DestinationProblem();
    if (!problem.isEmpty()) {
        interaction_.Message(this, problem, kCaption);
        return;
    }
    const std::string failure = SaveSettings(iniPath_, EnteredSettings(), keyring_);
    if (!failure.empty()) {
        interaction_.Message(this, FromUtf8(failure), kCaption);
        return;
    }
    QDialog::accept();
}

void SettingsWindow::TestConnectionClicked() {
    if (testing_) return;
    const UploadSettings settings = EnteredSettings();
    if (settings.destination.empty()) {
        interaction_.Message(this, QStringLiteral("送り先を入力してください。"),
                             QStringLiteral("接続テスト"));
        return;
    }
    const QString problem = DestinationProblem();
    if (!problem.isEmpty()) {
        interaction_.Message(this, problem, QStringLiteral("接続テスト"));
        return;
    }
    if (tester_.joinable()) tester_.join();
    testing_ = true;
    test_->setEnabled(false);
    testStatus_->setText(QStringLiteral("接続しています..."));
    const RemoteFolder folder = *ParseRemoteFolder(settings.destination);
    const Connection connection = ConnectionOf(settings);
    // The window stays responsive while the server takes its time.
    tester_ = std::thread([this, folder, connection] {
        const QString result = FromUtf8(TestConnection(folder, connection));
        QMetaObject::invokeMethod(
            this, [this, result] { ShowTestResult(result); }, Qt::QueuedConnection);
    });
}

void SettingsWindow::ShowTestResult(const QString& problem) {
    testing_ = false;
    test_->setEnabled(true);
    if (problem.isEmpty()) {
        testStatus_->setText(QStringLiteral("接続できました。"));
        interaction_.Message(this,
                             QStringLiteral("接続できました。送り先のフォルダも見つかりました。"),
                             QStringLiteral("接続テスト"));
    } else {
        testStatus_->setText(QStringLiteral("接続できませんでした。"));
        interaction_.Message(this, QStringLiteral("接続できませんでした。\n") + problem,
                             QStringLiteral("接続テスト"));
    }
}

void SettingsWindow::BrowseKeyFileClicked() {
    // Beside the key chosen before, else where keys are kept, never the
    // program's hidden settings folder.
    const QFileInfo current(keyFile_->text());
    const QString keys = QDir::homePath() + QStringLiteral("/.ssh");
    const QString start = current.isFile()      ? current.absolutePath()
                          : QDir(keys).exists() ? keys
                                                : QDir::homePath();
    auto chosen = interaction_.OpenFileName(this, QStringLiteral("鍵ファイルを選んでください"),
                                            start, QStringLiteral("すべてのファイル (*)"));
    if (chosen) keyFile_->setText(*chosen);
}

}  // namespace qm::tavmo
