// The settings window and the upload window, headless, against a local folder.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>

#include "support/temp_dir.h"
#include "tavmo/settings_window.h"
#include "tavmo/upload_list.h"
#include "tavmo/upload_window.h"
#include "ui/support/scripted_interaction.h"

using namespace qm::tavmo;
using qm::test::ReadBytes;
using qm::test::ScriptedInteraction;
using qm::test::TempDir;
using qm::test::WriteBytes;

class TavmoWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void settingsWindowTestsChecksSavesOwnerOnlyAndShowsAgain();
    void failedUploadShowsWhyRetrySendsTheRestAndTheWindowClosesByItself();
};

void TavmoWindowsTest::settingsWindowTestsChecksSavesOwnerOnlyAndShowsAgain() {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    ScriptedInteraction interaction;
    const auto& shown = interaction.messages;
    using Edit = QLineEdit* (SettingsWindow::*)() const;
    const std::vector<std::pair<Edit, QString>> fields{
        {&SettingsWindow::destinationEdit, QStringLiteral("ftp://127.0.0.1/日記/")},
        {&SettingsWindow::userEdit, QStringLiteral("たろう")},
        {&SettingsWindow::passwordEdit, QStringLiteral("秘密 pass")},
        {&SettingsWindow::imageFolderEdit, QStringLiteral("img/")}};
    {
        SettingsWindow window(interaction, ini);
        QCOMPARE(window.passwordEdit()->echoMode(), QLineEdit::Password);
        window.destinationEdit()->setText(QString::fromStdString(dir.dir()));
        window.testButton()->click();
        QTRY_COMPARE(int(shown.size()), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("接続テスト"));
        QVERIFY(shown[0].text.startsWith(QStringLiteral("接続できました")));
        window.destinationEdit()->setText(QString::fromStdString(dir / "nowhere"));
        window.testButton()->click();
        QTRY_COMPARE(int(shown.size()), 2);
        QVERIFY(shown[1].text.contains(QStringLiteral("接続できませんでした")));
        QVERIFY(shown[1].text.contains(QStringLiteral("見つかりません")));
        QVERIFY(window.testButton()->isEnabled());

        // An unusable destination keeps the window open and saves nothing.
        window.destinationEdit()->setText(QStringLiteral("http://example.jp/"));
        window.accept();
        QVERIFY(window.result() != int(QDialog::Accepted));
        QCOMPARE(int(shown.size()), 3);
        QVERIFY(shown[2].text.contains(QStringLiteral("正しくありません")));
        QVERIFY(!std::filesystem::exists(ini));

        for (const auto& [edit, text] : fields) (window.*edit)()->setText(text);
        QVERIFY(window.passiveBox()->isChecked());
        window.passiveBox()->setChecked(false);
        window.accept();
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(int(shown.size()), 3);
    QVERIFY(std::filesystem::status(ini).permissions() ==
            (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));

    SettingsWindow again(interaction, ini);
    for (const auto& [edit, text] : fields) QCOMPARE((again.*edit)()->text(), text);
    QVERIFY(!again.passiveBox()->isChecked());
    QVERIFY(again.verifyBox()->isChecked());
}

void TavmoWindowsTest::failedUploadShowsWhyRetrySendsTheRestAndTheWindowClosesByItself() {
    TempDir dir;
    WriteBytes(dir / "日記.html", "page");
    WriteBytes(dir / "写真.jpg", std::string(5000, 'p'));
    auto folder = ParseRemoteFolder(dir / "later");
    Uploader uploader({}, PlanUploads({dir / "日記.html", dir / "写真.jpg"}, *folder, *folder));

    UploadWindow window(uploader);
    window.setCloseDelay(50);
    QSignalSpy finished(&window, &UploadWindow::runFinished);
    window.show();
    window.Start();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(window.isVisible());
    QVERIFY(!window.retryButton()->isHidden());
    const QString why = window.failureText()->toPlainText();
    QVERIFY2(why.contains(QStringLiteral("「日記.html」を送れませんでした")), qPrintable(why));
    QVERIFY2(why.contains(QStringLiteral("送り先のフォルダが見つかりません")), qPrintable(why));

    std::filesystem::create_directory(dir / "later");
    window.retryButton()->click();
    QTRY_COMPARE(finished.count(), 2);
    QCOMPARE(finished.at(1).at(0).toBool(), true);
    QCOMPARE(window.progressBar()->value(), window.progressBar()->maximum());
    QVERIFY(window.retryButton()->isHidden());
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(ReadBytes(dir / "later/日記.html"), std::string("page"));
    QCOMPARE(ReadBytes(dir / "later/写真.jpg"), std::string(5000, 'p'));
}

QTEST_MAIN(TavmoWindowsTest)
#include "windows_qtest.moc"
