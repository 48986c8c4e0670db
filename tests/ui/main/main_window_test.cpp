// The main window: its endings and the size they save, the keys, Tab and
// F1 in it, the settings it stores, its commands and a first
// start left at the set manager; Qt's own buttons in Japanese.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <filesystem>

#include "main_window_fixture.h"
#include "support/write_limit.h"
#include "ui/common/manual_help.h"

namespace qm::test {

namespace {

const std::string kText = "とりせつ.txt";
const std::string kHtml = "とりせつ.html";

// The program's own folder for this test, apart from the --home folder.
struct ProgramWithManuals : TempDir {
    explicit ProgramWithManuals(std::initializer_list<std::string> manuals) {
        for (const std::string& name : manuals) WriteBytes(*this / name, "manual");
        SetManualProgramFolder(dir());
    }
    ~ProgramWithManuals() { SetManualProgramFolder(std::nullopt); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void CloseAsksUpToThreeQuestions() {
        for (const auto& [answers, shown] :
             {std::pair{std::deque<std::optional<Answer>>{Answer::No}, 1},
              {{Answer::Yes, Answer::Yes}, 2},
              {{Answer::Yes, Answer::No, Answer::Ok}, 3}}) {
            OneSet folder;
            Opened w(folder);
            w->resize(700, 600);
            w.io.answers = answers;
            const bool closes = shown == 3;
            QCOMPARE(w->close(), closes);
            QCOMPARE(w.io.messages.size(), std::size_t(shown));
            // The outer size is saved on closing only: the client area plus the frame.
            QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"),
                     closes ? 700 + w->frameGeometry().width() - w->width() : -999);
        }
    }

    void EscapeAsksOnlyInTheBodyAndEnterMovesToIt() {
        OneSet folder;
        Opened w(folder);
        w->titleEdit()->setFocus();
        QTest::keyClick(w->titleEdit(), Qt::Key_Return);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->bodyEdit()));
        QCOMPARE(folder.ReadFile("page.html"), Sjis(kPageText));
        w.io.answers = {Answer::No};
        QTest::keyClick(w->bodyEdit(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        w->titleEdit()->setFocus();
        QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QVERIFY(!w->isVisible());
    }

    // The upload box, the set list and the size saved at the end each name
    // the settings file they could not write.
    void FailedSettingsWritesAreReported() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
        folder.WriteSet("b", "page.html", "templet.txt");
        Opened w(folder);
        const FileSizeLimit full(1);
        QTest::mouseClick(w->uploadCheckBox(), Qt::LeftButton);
        w->setList()->setFocus();
        QTest::keyClick(w->setList(), Qt::Key_Down);
        // The reload reads the stored choice back: the set in use stays "a".
        QCOMPARE(w->runState().currentSetIndex, 0);
        w->titleEdit()->setFocus();
        QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w.io.messages.size(), std::size_t{3});
        for (const auto& message : w.io.messages)
            QCOMPARE(message.text, UnwritableText(folder.systemIni()));
        QCOMPARE(folder.ReadText("STATE", "UP"), std::string("<absent>"));
    }

    // However many tags and sets there are, the start reads QMsys.ini and the set once each.
    void StartingReadsEachSettingsFileOnce() {
        ProgramFolder folder;
        folder.WriteOneSet();
        std::string system = "[INI]\n0=a\n1=b\n[TAG]\n";
        for (int i = 0; i < 50; ++i) system += std::to_string(i) + "=t\n";
        folder.WriteSystemIni(system);
        const std::size_t before = SettingsFileReads();
        Opened w(folder);
        QCOMPARE(SettingsFileReads() - before, std::size_t{2});
        QCOMPARE(w->tagList()->count(), 50);
    }

    // Ctrl+Enter (either Enter key) presses "Do It !!!"; a plain Enter is a new line.
    void CtrlEnterPressesDoItFromTheBody() {
        for (const bool keypad : {false, true}) {
            OneSet folder;
            Opened w(folder);
            QPlainTextEdit* body = w->bodyEdit();
            body->setFocus();
            QTest::keyClicks(body, QStringLiteral("one"));
            QTest::keyClick(body, Qt::Key_Return);
            QTest::keyClicks(body, QStringLiteral("two"));
            QVERIFY(w->isVisible());
            QTest::keyClick(body, keypad ? Qt::Key_Enter : Qt::Key_Return,
                            keypad ? Qt::ControlModifier | Qt::KeypadModifier
                                   : Qt::KeyboardModifiers(Qt::ControlModifier));
            QVERIFY(folder.PageHas("page.html", "<p>one<BR>\r\ntwo</p>"));
            QVERIFY(!w->isVisible() && w->result() == QDialog::Accepted);
        }
    }

    // After a wrap the body has the focus and the wrapped text selected, so
    // Ctrl+Z takes it back at once.
    void EnterOrSpaceOnATagWrapsTheSelectionAndReturnsToTheBody() {
        OneSet folder;
        Opened w(folder);
        QPlainTextEdit* body = w->bodyEdit();
        body->setPlainText(QStringLiteral("今日"));
        QListWidget* tags = w->tagList();
        tags->setCurrentRow(0);
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Return, Qt::KeyboardModifiers()},
              {Qt::Key_Space, Qt::KeyboardModifiers()},
              {Qt::Key_Enter, Qt::KeyboardModifiers(Qt::KeypadModifier)}}) {
            body->selectAll();
            tags->setFocus();
            QTest::keyClick(tags, key, modifiers);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(body));
            QCOMPARE(body->textCursor().selectedText(), QStringLiteral("<HR>今日"));
            QTest::keyClick(body, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(body->toPlainText(), QStringLiteral("今日"));
        }
        QVERIFY(w->isVisible());
    }

    // The chosen image comes off with × or Delete, and out of the upload with it.
    void TheChosenImageComesOffAgain() {
        OneSet folder;
        Opened w(folder);
        QLineEdit* image = w->imageNameEdit();
        auto* clear = image->findChild<QAction*>(QStringLiteral("clearImageAction"));
        folder.WriteFile("pic.jpg", kTinyGif);
        for (const bool byKey : {false, true}) {
            w.io.fileNames.push_back(QString::fromStdString(folder.path("pic.jpg")));
            w->button(kIdBrowseImage)->click();
            QVERIFY(clear->isVisible() && !w->runState().imageUploadList.empty());
            // The chooser started beside the page, not in the working folder.
            QCOMPARE(w.io.startFolders.back() + "/", QString::fromStdString(folder.dir()));
            image->setFocus();
            byKey ? QTest::keyClick(image, Qt::Key_Delete) : clear->trigger();
            QVERIFY(image->text().isEmpty() && !clear->isVisible());
            QVERIFY(w->runState().imageUploadList.empty());
        }
    }

    // An entry with neither title nor body is written only when the user says so.
    void AnEmptyEntryAsksBeforeWriting() {
        OneSet folder;
        Opened w(folder);
        const std::string before = folder.ReadFile("page.html");
        w.io.answers = {Answer::No};
        w.Generate(QString(), QString());
        QVERIFY(w->isVisible() && folder.ReadFile("page.html") == before);
        w.io.answers = {Answer::Yes};
        w->button(kIdGenerate)->click();
        QVERIFY(!w->isVisible() && folder.ReadFile("page.html") != before);
        QCOMPARE(w.io.messages.size(), std::size_t{2});
    }

    // Tab from the title passes every button and reaches "Do It !!!" last.
    void TabFromTheTitleReachesEveryButtonAndDoItLast() {
        OneSet folder;
        Opened w(folder);
        w->titleEdit()->setFocus();
        QList<QWidget*> walk{w->titleEdit()};
        for (int step = 0; step < 30; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == walk.front()) break;
            walk << QApplication::focusWidget();
        }
        QCOMPARE(walk.back(), static_cast<QWidget*>(w->button(kIdGenerate)));
        for (QAbstractButton* button : w->findChildren<QAbstractButton*>())
            QVERIFY2(!button->isVisible() || !button->isEnabled() || walk.contains(button),
                     qPrintable(button->text()));
    }

    // Where it is installed (beside the program is F1's to check); the upload
    // tool names the folder above its own, which may lie deeper.
    void ManualsAreFoundBesideTheProgramOrWhereItIsInstalled() {
        TempDir root;
        for (const char* folder : {"usr/share/quillmaker/manual/", "usr/bin/", "elsewhere/bin/"})
            std::filesystem::create_directories(root / folder);
        const std::string installed = root / ("usr/share/quillmaker/manual/" + kText);
        WriteBytes(installed, "manual");
        QCOMPARE(FindManual(kText, root / "usr/lib/quillmaker/"), installed);
        QVERIFY(!FindManual(kText, root / "elsewhere/bin/"));
        // Missing, it is named where it was looked for: by the window program
        // in the helper folder, and where it is installed.
        std::filesystem::remove(installed);
        SetManualProgramFolder(root / "usr/libexec/quillmaker/");
        QCOMPARE(ManualPlacesLookedAt(kText),
                 QString::fromStdString(root / ("usr/libexec/quillmaker/" + kText) + "\n" +
                                        installed + "\n"));
        SetManualProgramFolder(std::nullopt);
    }

    // F1 and the manual button open the manual beside the program, never that
    // of --home, falling back to the text manual; F1 then names the missing
    // one; without an opener the manual's full path is given.
    void F1WithoutAManualOrAnOpenerSaysWhatIsMissing() {
        OneSet folder;
        folder.WriteFile(kText, "decoy");
        Opened w(folder);
        const HelpKey help(w.io, w->host().programStarter);
        {
            ProgramWithManuals program{kText};
            QTest::keyClick(w->titleEdit(), Qt::Key_F1);
            w->button(kIdManual)->click();
            QVERIFY(w.starts == std::vector(2, Start("xdg-open", {program / kText})));
        }
        {
            ProgramWithManuals none{};
            QTest::keyClick(w->titleEdit(), Qt::Key_F1);
            QCOMPARE(w.starts.size(), std::size_t{2});
            QCOMPARE(w.io.messages.at(0).text,
                     QString::fromStdString(none / kText) + QStringLiteral("がみつかりません。"));
        }
        ProgramWithManuals program{kHtml, kText};
        w.startAnswer = StartResult::Missing;  // no xdg-open on this system
        QTest::keyClick(w->titleEdit(), Qt::Key_F1);
        QCOMPARE(w.io.messages.size(), std::size_t{2});
        QVERIFY(w.io.messages[1].text.contains(QStringLiteral("xdg-open")));
        QVERIFY(w.io.messages[1].text.endsWith(QString::fromStdString(program / kHtml)));
    }

    // Escape from the set manager of a first start ends the start.
    void EscapeFromTheFirstSetManagerEndsTheStart() {
        ProgramFolder folder;
        ScriptedInteraction io;  // a dialog with no script is rejected
        MainDialog window(io, folder.dir());
        WindowCommands commands(window);
        QVERIFY(!window.Initialise());
        QCOMPARE(io.dialogTitles.size(), 1);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::MainWindowTest)
#include "main_window_test.moc"
