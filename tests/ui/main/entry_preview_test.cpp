// The preview: "プレビュー" and Ctrl+P show the entry in its page in the
// browser, from a file outside the diary folder that goes with the program,
// and change nothing of the user's files.
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "engine/preview.h"
#include "main_window_fixture.h"
#include "platform/encoding.h"
#include "platform/process.h"

namespace qm::test {

namespace {

// Every file of a folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path());
    }
    return files;
}

// The window on one set "a" with a stand-in browser that records the file
// it was given.
struct Opened {
    ProgramFolder folder;
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> window;
    QStringList browsed;
    StartResult browserAnswer = StartResult::Started;

    Opened() {
        folder.WriteOneSet();
        window = std::make_unique<MainDialog>(io, folder.dir());
        if (!window->Initialise()) window.reset();
        if (!window) return;
        window->host().programStarter = [this](std::string_view program,
                                               std::string_view parameters) {
            if (program != "xdg-open") return StartResult::NotFound;
            const auto words = SplitCommandLine(parameters);
            browsed << QString::fromStdString(Cp932ToUtf8(words.at(0)).value_or("?"));
            return browserAnswer;
        };
        window->show();
        QApplication::setActiveWindow(window.get());
        window->titleEdit()->setText(QStringLiteral("晴れ"));
        window->bodyEdit()->setPlainText(QStringLiteral("散歩\nした"));
    }
};

}  // namespace

class EntryPreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void ThePreviewShowsTheEntryInItsPageAndChangesNothing() {
        Opened o;
        QVERIFY(o.window);
        const auto before = Snapshot(o.folder.dir());

        o.window->button(kIdPreview)->click();

        QCOMPARE(o.browsed.size(), 1);
        const std::string file = o.browsed[0].toStdString();
        QVERIFY2(file.rfind(o.folder.dir(), 0) != 0, file.c_str());  // outside the diary folder
        QCOMPARE(std::filesystem::path(file).filename().string(), std::string("page.html"));
        const std::string shown = ReadBytes(file);
        const std::string base = "<base href=\"" + FileUrlOfFolder(o.folder.dir()) + "\">";
        QCOMPARE(shown.substr(0, 6 + base.size()), "<html>" + base);
        QVERIFY2(shown.find(Sjis("<h2>晴れ</h2>\r\n<p>散歩<BR>\r\nした</p>")) != std::string::npos,
                 shown.c_str());
        QVERIFY(shown.find(Sjis("<h2>晴れ")) < shown.find("older entry"));

        QCOMPARE(Snapshot(o.folder.dir()), before);
        QVERIFY(o.io.messages.empty());
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.window->titleEdit()->text(), QStringLiteral("晴れ"));

        // The preview goes when the program does.
        o.window.reset();
        QVERIFY(!std::filesystem::exists(file));
    }

    void CtrlPShowsANewPeriodFromThePrototypeWithoutRollingOver() {
        Opened o;
        QVERIFY(o.window);
        // A monthly set whose February page does not exist yet.
        WriteBytes(o.folder.path("a.ini"), "[FILEPATH]\r\nORIGINAL=" + o.folder.path("page.html") +
                                               "\r\nTEMPLET=" + o.folder.path("templet.txt") +
                                               "\r\nLOG=" + o.folder.path("log.html") +
                                               "\r\nEDIT=1\r\n");
        o.folder.WriteFile("log.html", "<!-- ここにログ -->");
        SetFixedClock(ParseLocalTime("2027-02-01 08:00:00"));
        const auto before = Snapshot(o.folder.dir());

        o.window->bodyEdit()->setFocus();
        QTest::keyClick(o.window->bodyEdit(), Qt::Key_P, Qt::ControlModifier);

        QCOMPARE(o.browsed.size(), 1);
        QCOMPARE(std::filesystem::path(o.browsed[0].toStdString()).filename().string(),
                 std::string("diary27-Feb.html"));
        const std::string shown = ReadBytes(o.browsed[0].toStdString());
        QVERIFY(shown.find(Sjis("<h2>晴れ</h2>")) < shown.find("older entry"));
        QVERIFY(shown.find(Sjis("<!-- 02/01/27 08:00:00 くいるめいかー -->")) != std::string::npos);
        QCOMPARE(Snapshot(o.folder.dir()), before);
        QVERIFY(o.io.messages.empty());
    }

    void WithoutABrowserThePreviewFileIsNamed() {
        Opened o;
        QVERIFY(o.window);
        o.browserAnswer = StartResult::NotFound;
        o.window->button(kIdPreview)->click();
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QCOMPARE(o.io.messages[0].caption, QStringLiteral("プレビュー"));
        QVERIFY(o.io.messages[0].text.endsWith(o.browsed[0]));
        QVERIFY(QFile::exists(o.browsed[0]));
    }

    void APageWithoutAMarkerIsNotPreviewed() {
        Opened o;
        QVERIFY(o.window);
        o.folder.WriteFile("page.html", "<html>no marker</html>");
        o.window->button(kIdPreview)->click();
        QVERIFY(o.browsed.isEmpty());
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QCOMPARE(o.io.messages[0].text, QStringLiteral("埋め込む場所わかんないダス"));
        QCOMPARE(o.folder.ReadFile("page.html"), std::string("<html>no marker</html>"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::EntryPreviewTest)
#include "entry_preview_test.moc"
