// The upload window, headless, against a local folder; both windows from the
// keyboard: Tab in reading order, F1 for the manual.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>

#include "platform/encoding.h"
#include "support/temp_dir.h"
#include "tavmo/settings_window.h"
#include "tavmo/upload_list.h"
#include "tavmo/upload_window.h"
#include "ui/common/manual_help.h"
#include "ui/support/keyboard_walk.h"
#include "ui/support/scripted_interaction.h"

using namespace qm::tavmo;
using qm::test::ReadBytes;
using qm::test::TempDir;
using qm::test::WriteBytes;

class TavmoWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void failedUploadShowsWhyRetrySendsTheRestAndTheWindowClosesByItself() {
        TempDir dir;
        WriteBytes(dir / "日記.html", "page");
        auto folder = ParseRemoteFolder(dir / "later");
        Uploader uploader({}, PlanUploads({dir / "日記.html"}, *folder, *folder));

        UploadWindow window(uploader);
        window.setCloseDelay(50);
        QSignalSpy finished(&window, &UploadWindow::runFinished);
        window.show();
        window.Start();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(window.isVisible());
        QVERIFY(window.failureText()->toPlainText().contains(
            QStringLiteral("送り先のフォルダが見つかりません")));

        std::filesystem::create_directory(dir / "later");
        window.retryButton()->click();
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toBool(), true);
        QCOMPARE(window.progressBar()->value(), window.progressBar()->maximum());
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(ReadBytes(dir / "later/日記.html"), std::string("page"));
    }

    void bothWindowsTabInReadingOrderAndOpenTheManualWithF1() {
        TempDir program;
        WriteBytes(program / "とりせつ.html", "manual");
        qm::SetManualProgramFolder(program.dir());
        qm::test::ScriptedInteraction io;
        QStringList started;
        const qm::HelpKey help(
            io, [&started](std::string_view program, std::string_view arguments) {
                started << QString::fromStdString(std::string(program) + " " +
                                                  qm::Cp932ToUtf8(arguments).value_or("?"));
                return qm::StartResult::Started;
            });

        TempDir dir;
        SettingsWindow settings(io, dir / "tavmo.ini");
        const RemoteFolder folder = *ParseRemoteFolder(dir.dir());
        Uploader uploader({}, PlanUploads({}, folder, folder));
        UploadWindow upload(uploader);
        for (QWidget* window : {static_cast<QWidget*>(&settings), static_cast<QWidget*>(&upload)}) {
            window->show();
            QWidget* first = window == &settings ? static_cast<QWidget*>(settings.destinationEdit())
                                                 : static_cast<QWidget*>(upload.cancelButton());
            const QList<QWidget*> walk = qm::test::TabWalk(*window, first);
            QVERIFY2(
                !walk.isEmpty() && qm::test::FirstBackwardStep(walk).isEmpty() &&
                    qm::test::ButtonsNotVisited(*window, walk).isEmpty(),
                qPrintable(qm::test::Describe(walk) + "\n" + qm::test::FirstBackwardStep(walk)));
            started.clear();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            QCOMPARE(started, QStringList{QString::fromStdString("xdg-open \"" + program.dir() +
                                                                 "とりせつ.html\"")});
            window->hide();
        }
        qm::SetManualProgramFolder(std::nullopt);
        QVERIFY(io.messages.empty());
    }
};

QTEST_MAIN(TavmoWindowsTest)
#include "windows_qtest.moc"
