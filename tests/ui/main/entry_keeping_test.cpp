// Nothing typed or written is lost: the draft outlives every ending but a
// generate, the preview changes none of the user's files, and "取り消し"
// takes the last entry back or names the file that stops it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QTimer>
#include <filesystem>

#include "main_window_fixture.h"
#include "platform/command_line.h"
#include "platform/process.h"
#include "support/write_limit.h"
#include "ui/main/draft.h"

namespace qm::test {

namespace {

namespace fs = std::filesystem;

// Text as an input method commits it, the way Japanese reaches a box.
void Type(QWidget* box, const QString& text) {
    box->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

bool DraftExists(const ProgramFolder& folder) { return fs::exists(folder.path(kDraftFileName)); }

// The file the stand-in browser (xdg-open) was given.
std::string Browsed(const Opened& w) {
    if (w.starts.empty() || w.starts[0].first != "xdg-open") return "<none>";
    return w.starts[0].second.at(0);
}

QAction* TakeBack(Opened& w) { return w->findChild<QAction*>(QStringLiteral("takeBackAction")); }

}  // namespace

class EntryKeepingTest : public QObject {
    Q_OBJECT

  private slots:
    // The window is destroyed without any ending, as a crash leaves it: what
    // was written a moment after the typing comes back in a new window.
    void ACrashLosesNothingTyped() {
        OneSet folder;
        {
            Opened w(folder);
            Type(w->titleEdit(), QStringLiteral("雪の日"));
            Type(w->bodyEdit(), QStringLiteral("積もった"));
            QTest::keyClick(w->bodyEdit(), Qt::Key_Return);
            QTest::keyClicks(w->bodyEdit(), QStringLiteral("ok"));
            Type(w->bodyEdit(), QStringLiteral("😀"));
            QVERIFY(!DraftExists(folder));  // not at every key press
            QTRY_VERIFY_WITH_TIMEOUT(DraftExists(folder), 2000);
        }
        Opened again(folder);
        QCOMPARE(again->titleEdit()->text(), QStringLiteral("雪の日"));
        QCOMPARE(again->bodyEdit()->toPlainText(), QStringLiteral("積もった\nok😀"));
        QVERIFY(again.io.messages.empty());
    }

    // Every ending writes the draft at once, with the set and the image even
    // when the stored set went back to the first; a failed "Do It !!!" keeps
    // it, a good one writes what came back and removes it.
    void TheDraftOutlivesEveryEndingButAGenerate() {
        OneSet folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
        folder.WriteSet("b", "other.html", "other.txt");
        folder.WriteFile("other.html", "<html>no marker</html>");
        folder.WriteFile("other.txt", "<p>*?</p><p>*$</p>");
        {
            Opened w(folder);
            w->setList()->setFocus();
            QTest::keyClick(w->setList(), Qt::Key_Down);
            w->titleEdit()->setText(QStringLiteral("晴れ"));
            w->bodyEdit()->setPlainText(QStringLiteral("散歩"));
            folder.WriteFile("pic.jpg", kTinyGif);
            w.io.fileNames.push_back(QString::fromStdString(folder.path("pic.jpg")));
            w->button(kIdBrowseImage)->click();
            w->altTextEdit()->setText(QStringLiteral("猫"));
            w->titleEdit()->setFocus();
            QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        }
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n[STATE]\nCURRENT=0\n");
        Opened w(folder);
        QCOMPARE(w->setList()->currentText(), QStringLiteral("b"));
        QCOMPARE(w->titleEdit()->text(), QStringLiteral("晴れ"));
        QCOMPARE(w->imageNameEdit()->text(), QStringLiteral("images/pic.jpg"));
        w->button(kIdGenerate)->click();
        QVERIFY(
            w.io.messages.at(0).text.startsWith(QStringLiteral("埋め込む場所わかんないダス\n")));
        QVERIFY(w->isVisible() && DraftExists(folder));
        folder.WriteFile("other.html", kPageText);
        w->button(kIdGenerate)->click();
        QVERIFY(!w->isVisible());
        QVERIFY(folder.PageHas(
            "other.html",
            "<p>散歩</p><p><img src=\"images/pic.jpg\" alt=\"猫\" width=\"1\" height=\"1\" ></p>"));
        QCOMPARE(folder.ReadFile("images/pic.jpg"), folder.ReadFile("pic.jpg"));
        QVERIFY(!DraftExists(folder));
    }

    // A draft that cannot be written is said once, naming the file; the
    // window goes on. A damaged draft is left alone and brings nothing back.
    void ADraftThatCannotBeWrittenOrReadIsNoHarm() {
        OneSet folder;
        {
            Opened w(folder);
            const FileSizeLimit full(1);
            for (const QString& title : {QStringLiteral("一"), QStringLiteral("二")}) {
                w->titleEdit()->setText(title);
                w->draft().SaveNow();
            }
            QCOMPARE(w.io.messages.size(), std::size_t{1});
            QVERIFY(w.io.messages[0].text.startsWith(
                QString::fromStdString(folder.path(kDraftFileName)) + "\n"));
            QVERIFY(w->isVisible());
        }
        WriteBytes(folder.path(kDraftFileName), "Quillmaker draft 1\nset 1\na\ntitle 99\nshort\n");
        Opened w(folder);
        QVERIFY(w->titleEdit()->text().isEmpty());
        QVERIFY(DraftExists(folder));
    }

    // The draft holds only what the window shows: an edited draft's images
    // that the window does not show, or that are not regular files, stay out
    // of the upload; a draft that is a link is replaced, never written
    // through; one too large to be typed is refused with a message.
    void ADraftIsTheProgramsOwnAndHoldsOnlyWhatTheWindowShows() {
        OneSet folder;
        folder.WriteFile("cat.jpg", "jpeg");
        const TempDir outside;
        WriteBytes(outside / "secret.txt", "secret");
        const std::string cat = folder.path("cat.jpg");
        const DraftContent draft{"a", "t", "b", "cat.jpg", "", {}};
        const std::string noImages = SerializeDraft(draft);
        for (const std::string& images : {JoinCommandLine({cat, outside / "secret.txt"}),
                                          JoinCommandLine({cat}) + " \"/etc/hostname"}) {
            // The images field, edited by hand, is the draft's last.
            WriteBytes(folder.path(kDraftFileName), noImages.substr(0, noImages.rfind("images ")) +
                                                        "images " + std::to_string(images.size()) +
                                                        "\n" + images + "\n");
            Opened w(folder);
            QCOMPARE(w->imageNameEdit()->text(), QStringLiteral("cat.jpg"));
            QCOMPARE(w->runState().imageUploadList, std::vector<std::string>{cat});
            QCOMPARE(w.io.messages.size(), std::size_t{1});
        }

        WriteBytes(outside / "target.txt", "target");
        fs::remove(folder.path(kDraftFileName));
        fs::create_symlink(outside / "target.txt", folder.path(kDraftFileName));
        {
            Opened w(folder);
            w->titleEdit()->setText(QStringLiteral("一"));
            w->draft().SaveNow();
        }
        QCOMPARE(ReadBytes(outside / "target.txt"), std::string("target"));
        QVERIFY(fs::is_regular_file(fs::symlink_status(folder.path(kDraftFileName))));

        WriteBytes(folder.path(kDraftFileName),
                   SerializeDraft(DraftContent{"a", QString(17 << 20, 'x'), "", "", "", {}}));
        Opened w(folder);
        QVERIFY(w->titleEdit()->text().isEmpty());
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QVERIFY(w.io.messages[0].text.startsWith(
            QString::fromStdString(folder.path(kDraftFileName)) + "\n"));
    }

    // A draft another process wrote after this window is kept; the window's
    // own goes beside it, named once.
    void ANewerDraftIsNeverWrittenOver() {
        OneSet folder;
        Opened w(folder);
        w->titleEdit()->setText(QStringLiteral("一"));
        w->draft().SaveNow();
        const std::string newer =
            "Quillmaker draft 1\nset 1\na\ntitle 1\nx\nbody 0\n\nimage 0\n\n"
            "alt 0\n\nimages 0\n\n";
        WriteBytes(folder.path(kDraftFileName), newer);
        for (const QString& title : {QStringLiteral("二"), QStringLiteral("三")}) {
            w->titleEdit()->setText(title);
            w->draft().SaveNow();
        }
        QCOMPARE(folder.ReadFile(kDraftFileName), newer);
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        const QString aside = w.io.messages[0].text.section('\n', -1);
        QVERIFY(ReadBytes(aside.toStdString()).find("三") != std::string::npos);
        w.Generate(QStringLiteral("四"));
        QCOMPARE(folder.ReadFile(kDraftFileName), newer);
        QVERIFY(!fs::exists(aside.toStdString()));
    }

    // Ctrl+P: the preview file lies outside the diary folder, is named when
    // the opener found nothing to open it with, and goes with the program.
    void ThePreviewFileIsNamedAndGoesWithTheProgram() {
        OneSet folder;
        auto opened = std::make_unique<Opened>(folder);
        Opened& w = *opened;
        w.startAnswer = StartResult::Refused;
        w->bodyEdit()->setPlainText(QStringLiteral("散歩\nした"));
        QTest::keyClick(w->bodyEdit(), Qt::Key_P, Qt::ControlModifier);
        const std::string file = Browsed(w);
        QVERIFY2(file.rfind(folder.dir(), 0) != 0, file.c_str());
        QVERIFY(ReadBytes(file).find(Sjis("<p>散歩<BR>\r\nした</p>")) != std::string::npos);
        QCOMPARE(w.io.messages.at(0).caption, QStringLiteral("プレビュー"));
        QVERIFY(w.io.messages[0].text.contains(QStringLiteral("開けませんでした")));
        QVERIFY(w.io.messages[0].text.endsWith(QString::fromStdString(file)));
        opened.reset();
        QVERIFY(!fs::exists(file));
    }

    // Ctrl+Shift+Z, even in the body: with nothing to take back that is all
    // it says. Else asked first; the upload tool gets the restored page and
    // the entry's words come back to the boxes.
    void TakesTheLastEntryBackUnlessThePageWasEdited() {
        OneSet folder;
        {
            Opened none(folder);
            QTest::keyClick(none->bodyEdit(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(none.io.messages.size(), std::size_t{1});
            QCOMPARE(none.io.messages[0].text, QStringLiteral("取り消せる日記がありません。"));
            // Shift+F10 in the body opens its menu, which holds "取り消し" too.
            QStringList menu;
            QTimer::singleShot(0, [&menu] {
                QWidget* popup = QApplication::activePopupWidget();
                for (QAction* action : popup != nullptr ? popup->actions() : QList<QAction*>())
                    menu << action->text();
                if (popup != nullptr) popup->close();
            });
            QTest::keyClick(none->bodyEdit(), Qt::Key_F10, Qt::ShiftModifier);
            QVERIFY2(menu.contains(QStringLiteral("取り消し")), qPrintable(menu.join(',')));
        }
        Opened(folder).Generate(QStringLiteral("一"));
        const std::string afterFirst = folder.ReadFile("page.html");
        Opened(folder).Generate(QStringLiteral("二"));
        const std::string page = folder.path("page.html");
        Opened w(folder);
        w.io.answers = {Answer::No};
        TakeBack(w)->trigger();
        QVERIFY(folder.ReadFile("page.html") != afterFirst);
        w->uploadCheckBox()->setChecked(true);
        w.io.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        TakeBack(w)->trigger();
        QCOMPARE(folder.ReadFile("page.html"), afterFirst);
        QVERIFY(w.starts == std::vector{Start("tavmo/tavmo.exe", {page})});
        QCOMPARE(w.io.messages.size(), std::size_t{3});
        QVERIFY(w.io.messages[2].text.endsWith("\n" + QString::fromStdString(page)));
        QCOMPARE(w->titleEdit()->text(), QStringLiteral("二"));
        QCOMPARE(w->bodyEdit()->toPlainText(), QStringLiteral("本文"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::EntryKeepingTest)
#include "entry_keeping_test.moc"
