// The settings window and the upload window, headless, against a local folder.
#include <sys/stat.h>

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
using qm::test::TempDir;
using qm::test::WriteBytes;

using qm::test::ScriptedInteraction;

class TavmoWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void settingsAreCheckedSavedOwnerOnlyAndShownAgain();
    void connectionTestReportsInJapanese();
    void failedUploadShowsWhyRetrySendsTheRestAndTheWindowClosesByItself();
};

void TavmoWindowsTest::settingsAreCheckedSavedOwnerOnlyAndShownAgain() {
    TempDir dir;
    const std::string ini = dir / "tavmo.ini";
    ScriptedInteraction interaction;
    {
        SettingsWindow window(interaction, ini);
        QCOMPARE(window.passwordEdit()->echoMode(), QLineEdit::Password);
        // An unusable destination keeps the window open and saves nothing.
        window.destinationEdit()->setText(QStringLiteral("http://example.jp/"));
        window.accept();
        QVERIFY(window.result() != int(QDialog::Accepted));
        QCOMPARE(int(interaction.messages.size()), 1);
        QVERIFY(interaction.messages[0].text.contains(QStringLiteral("正しくありません")));
        QVERIFY(!std::filesystem::exists(ini));

        window.destinationEdit()->setText(QStringLiteral("ftp://127.0.0.1/日記/"));
        window.userEdit()->setText(QStringLiteral("たろう"));
        window.passwordEdit()->setText(QStringLiteral("秘密 pass"));
        window.imageFolderEdit()->setText(QStringLiteral("img/"));
        QVERIFY(window.passiveBox()->isChecked());
        window.passiveBox()->setChecked(false);
        window.accept();
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(int(interaction.messages.size()), 1);
    struct stat st {};
    QCOMPARE(::stat(ini.c_str(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0600u);

    SettingsWindow again(interaction, ini);
    QCOMPARE(again.destinationEdit()->text(), QStringLiteral("ftp://127.0.0.1/日記/"));
    QCOMPARE(again.userEdit()->text(), QStringLiteral("たろう"));
    QCOMPARE(again.passwordEdit()->text(), QStringLiteral("秘密 pass"));
    QCOMPARE(again.imageFolderEdit()->text(), QStringLiteral("img/"));
    QVERIFY(!again.passiveBox()->isChecked());
    QVERIFY(again.verifyBox()->isChecked());
}

void TavmoWindowsTest::connectionTestReportsInJapanese() {
    TempDir dir;
    ScriptedInteraction interaction;
    SettingsWindow window(interaction, dir / "tavmo.ini");

    window.destinationEdit()->setText(QString::fromStdString(dir.dir()));
    window.testButton()->click();
    QTRY_COMPARE(int(interaction.messages.size()), 1);
    QCOMPARE(interaction.messages[0].caption, QStringLiteral("接続テスト"));
    QVERIFY(interaction.messages[0].text.startsWith(QStringLiteral("接続できました")));

    window.destinationEdit()->setText(QString::fromStdString(dir / "nowhere"));
    window.testButton()->click();
    QTRY_COMPARE(int(interaction.messages.size()), 2);
    QVERIFY(interaction.messages[1].text.contains(QStringLiteral("接続できませんでした")));
    QVERIFY(interaction.messages[1].text.contains(QStringLiteral("見つかりません")));
    QVERIFY(window.testButton()->isEnabled());
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
