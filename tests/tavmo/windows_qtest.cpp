// The upload window, headless, against a local folder.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>

#include "support/temp_dir.h"
#include "tavmo/upload_list.h"
#include "tavmo/upload_window.h"

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
};

QTEST_MAIN(TavmoWindowsTest)
#include "windows_qtest.moc"
