// The upload window, headless, against a local folder.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>

#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "tavmo/settings_window.h"
#include "tavmo/upload_list.h"
#include "tavmo/upload_window.h"
#include "ui/support/scripted_interaction.h"

using namespace qm::tavmo;
using qm::test::ReadBytes;
using qm::test::TempDir;
using qm::test::WriteBytes;

class TavmoWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    // The retry reads the settings again: a destination mended meanwhile is used.
    void failedUploadShowsWhyRetryUsesTheMendedSettingsAndTheWindowClosesByItself() {
        TempDir dir;
        WriteBytes(dir / "日記.html", "page");
        WriteBytes(dir / "tavmo.ini", "[TAVMO]\nURL=" + dir / "later" + "\n");
        UploadRun run(dir / "tavmo.ini", {dir / "日記.html"}, nullptr);
        QCOMPARE(run.Reload(), std::string());
        qm::test::ScriptedInteraction io;

        UploadWindow window(run, io);
        window.setCloseDelay(50);
        QSignalSpy finished(&window, &UploadWindow::runFinished);
        window.show();
        window.Start();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(window.isVisible());
        QVERIFY(window.failureText()->toPlainText().contains(
            QStringLiteral("送り先のフォルダが見つかりません")));

        // "設定" opens the settings; turning back from them sends nothing.
        window.settingsButton()->click();
        QCOMPARE(io.dialogTitles.size(), qsizetype{1});
        QCOMPARE(finished.count(), 1);

        std::filesystem::create_directory(dir / "mended");
        WriteBytes(dir / "tavmo.ini", "[TAVMO]\nURL=" + dir / "mended" + "\n");
        window.retryButton()->click();
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toBool(), true);
        QCOMPARE(window.progressBar()->value(), window.progressBar()->maximum());
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(ReadBytes(dir / "mended/日記.html"), std::string("page"));
    }

    // The key chooser starts where keys are kept, not in the working folder.
    void theKeyChooserStartsWhereKeysAreKept() {
        TempDir home;
        const qm::test::ScopedEnv homeVariable("HOME", home.dir().c_str());
        std::filesystem::create_directory(home / ".ssh");
        qm::test::ScriptedInteraction io;
        SettingsWindow settings(io, home / "tavmo.ini");
        for (QPushButton* button : settings.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("参照...")) button->click();
        QCOMPARE(io.startFolders, QStringList{QString::fromStdString(home / ".ssh")});
    }
};

QTEST_MAIN(TavmoWindowsTest)
#include "windows_qtest.moc"
