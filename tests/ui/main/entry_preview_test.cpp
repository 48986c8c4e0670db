// The preview: "プレビュー" and Ctrl+P show the entry in its page in the
// browser, from a file outside the diary folder that goes with the program,
// and change nothing of the user's files.
#include <filesystem>

#include "engine/preview.h"
#include "main_window_fixture.h"
#include "platform/process.h"

namespace qm::test {

namespace {

namespace fs = std::filesystem;

// Every file of a folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path());
    }
    return files;
}

// The file the stand-in browser (xdg-open) was given, in UTF-8.
std::string Browsed(const Opened& w, std::size_t i = 0) {
    if (w.starts.size() <= i || w.starts[i].first != "xdg-open") return "<none>";
    return Cp932ToUtf8(SplitCommandLine(w.starts[i].second).at(0)).value_or("?");
}

void TypeEntry(Opened& w) {
    w->titleEdit()->setText(QStringLiteral("晴れ"));
    w->bodyEdit()->setPlainText(QStringLiteral("散歩\nした"));
}

}  // namespace

class EntryPreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void ThePreviewShowsTheEntryInItsPageAndChangesNothing() {
        OneSet folder;
        auto opened = std::make_unique<Opened>(folder);
        Opened& w = *opened;
        TypeEntry(w);
        const auto before = Snapshot(folder.dir());
        w->button(kIdPreview)->click();

        QCOMPARE(w.starts.size(), std::size_t{1});
        const std::string file = Browsed(w);
        QVERIFY2(file.rfind(folder.dir(), 0) != 0, file.c_str());  // outside the diary folder
        QCOMPARE(fs::path(file).filename().string(), std::string("page.html"));
        const std::string shown = ReadBytes(file);
        const std::string base = "<base href=\"" + FileUrlOfFolder(folder.dir()) + "\">";
        QCOMPARE(shown.substr(0, 6 + base.size()), "<html>" + base);
        QVERIFY2(shown.find(Sjis("<h2>晴れ</h2>\r\n<p>散歩<BR>\r\nした</p>")) != std::string::npos,
                 shown.c_str());
        QVERIFY(shown.find(Sjis("<h2>晴れ")) < shown.find("older entry"));
        QCOMPARE(Snapshot(folder.dir()), before);
        QVERIFY(w.io.messages.empty() && w->isVisible());
        QCOMPARE(w->titleEdit()->text(), QStringLiteral("晴れ"));

        opened.reset();  // the preview goes when the program does
        QVERIFY(!fs::exists(file));
    }

    // A monthly set whose February page does not exist yet: previewed from
    // the prototype, nothing rolled over.
    void CtrlPShowsANewPeriodFromThePrototypeWithoutRollingOver() {
        OneSet folder;
        Opened w(folder);
        folder.WriteSet("a", "page.html", "templet.txt",
                        "LOG=" + folder.path("log.html") + "\nEDIT=1\n");
        folder.WriteFile("log.html", "<!-- ここにログ -->");
        TypeEntry(w);
        SetFixedClock(ParseLocalTime("2027-02-01 08:00:00"));
        const auto before = Snapshot(folder.dir());
        w->bodyEdit()->setFocus();
        QTest::keyClick(w->bodyEdit(), Qt::Key_P, Qt::ControlModifier);

        QCOMPARE(fs::path(Browsed(w)).filename().string(), std::string("diary27-Feb.html"));
        const std::string shown = ReadBytes(Browsed(w));
        QVERIFY(shown.find(Sjis("<h2>晴れ</h2>")) < shown.find("older entry"));
        QVERIFY(shown.find(Sjis("<!-- 02/01/27 08:00:00 くいるめいかー -->")) != std::string::npos);
        QCOMPARE(Snapshot(folder.dir()), before);
        QVERIFY(w.io.messages.empty());
    }

    // Without a browser the preview file is named; a page without a marker
    // is not previewed at all.
    void APreviewThatCannotBeShownSaysWhy() {
        OneSet folder;
        Opened w(folder);
        w.startAnswer = StartResult::NotFound;
        w->button(kIdPreview)->click();
        QCOMPARE(w.io.messages.at(0).caption, QStringLiteral("プレビュー"));
        QVERIFY(w.io.messages[0].text.endsWith(QString::fromStdString(Browsed(w))));
        QVERIFY(fs::exists(Browsed(w)));
        folder.WriteFile("page.html", "<html>no marker</html>");
        w->button(kIdPreview)->click();
        QCOMPARE(w.starts.size(), std::size_t{1});
        QCOMPARE(w.io.messages.size(), std::size_t{2});
        QCOMPARE(w.io.messages[1].text, QStringLiteral("埋め込む場所わかんないダス"));
        QCOMPARE(folder.ReadFile("page.html"), std::string("<html>no marker</html>"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::EntryPreviewTest)
#include "entry_preview_test.moc"
