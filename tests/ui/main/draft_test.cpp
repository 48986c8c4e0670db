// The draft: what is typed in the main window outlives Escape, the close
// questions and a crash, comes back at the next start, and goes once the
// entry is in the page.
#include "ui/main/draft.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "main_window_fixture.h"
#include "support/write_limit.h"
#include "ui/main/window_commands.h"

namespace qm::test {

namespace {

using Answer = Interaction::Answer;

// A window on the folder, with every command attached, shown.
struct Window {
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> dialog;
    std::unique_ptr<WindowCommands> commands;

    explicit Window(const ProgramFolder& folder) {
        dialog = std::make_unique<MainDialog>(io, folder.dir());
        commands = std::make_unique<WindowCommands>(*dialog);
        if (!dialog->Initialise()) {
            dialog.reset();
            return;
        }
        dialog->show();
    }
    MainDialog& operator*() { return *dialog; }
    MainDialog* operator->() { return dialog.get(); }
};

// Text as an input method commits it, the way Japanese reaches a box.
void Type(QWidget* box, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

bool DraftExists(const ProgramFolder& folder) {
    return std::filesystem::exists(folder.path(kDraftFileName));
}

}  // namespace

class DraftTest : public QObject {
    Q_OBJECT

  private slots:
    // The window is destroyed without any ending, as a crash leaves it: what
    // was written a moment after the typing comes back in a new window.
    void ACrashLosesNothingTyped() {
        ProgramFolder folder;
        folder.WriteOneSet();
        {
            Window w(folder);
            QVERIFY(w.dialog);
            w->titleEdit()->setFocus();
            Type(w->titleEdit(), QStringLiteral("雪の日"));
            w->bodyEdit()->setFocus();
            Type(w->bodyEdit(), QStringLiteral("積もった"));
            QTest::keyClick(w->bodyEdit(), Qt::Key_Return);
            QTest::keyClicks(w->bodyEdit(), QStringLiteral("ok"));
            Type(w->bodyEdit(), QStringLiteral("😀"));
            QVERIFY(!DraftExists(folder));  // not at every key press
            QTRY_VERIFY_WITH_TIMEOUT(DraftExists(folder), 2000);
            QVERIFY(folder.ReadFile(kDraftFileName).find("積もった\nok😀") != std::string::npos);
        }
        Window again(folder);
        QVERIFY(again.dialog);
        QCOMPARE(again->titleEdit()->text(), QStringLiteral("雪の日"));
        QCOMPARE(again->bodyEdit()->toPlainText(), QStringLiteral("積もった\nok😀"));
        QVERIFY(again.io.messages.empty());
    }

    // Escape and the close questions end the window at once; the draft is
    // written then, not a moment later.
    void EscapeAndTheCloseQuestionsKeepTheDraft() {
        ProgramFolder folder;
        folder.WriteOneSet();
        {
            Window w(folder);
            w->titleEdit()->setText(QStringLiteral("途中"));
            w->titleEdit()->setFocus();
            QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        }
        {
            Window w(folder);
            QCOMPARE(w->titleEdit()->text(), QStringLiteral("途中"));
            w->bodyEdit()->setPlainText(QStringLiteral("続き"));
            w.io.answers = {Answer::Yes, Answer::No, Answer::Ok};
            QVERIFY(w->close());
        }
        Window w(folder);
        QCOMPARE(w->titleEdit()->text(), QStringLiteral("途中"));
        QCOMPARE(w->bodyEdit()->toPlainText(), QStringLiteral("続き"));
    }

    // "Do It !!!" after a restart writes what came back, then the draft goes;
    // a generate that fails keeps it.
    void AGenerateWritesTheDraftAndRemovesIt() {
        ProgramFolder folder;
        folder.WriteOneSet();
        {
            Window w(folder);
            w->titleEdit()->setText(QStringLiteral("晴れ"));
            w->bodyEdit()->setPlainText(QStringLiteral("散歩"));
            w->titleEdit()->setFocus();
            QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
        }
        {
            Window w(folder);
            folder.WriteFile("page.html", "<html>no marker</html>");
            w->button(kIdGenerate)->click();
            QVERIFY(w->isVisible());
            QVERIFY(DraftExists(folder));
        }
        folder.WriteFile("page.html", kPageText);
        Window w(folder);
        w->button(kIdGenerate)->click();
        QVERIFY(!w->isVisible());
        QVERIFY(folder.ReadFile("page.html").find(Sjis("<h2>晴れ</h2>\r\n<p>散歩</p>")) !=
                std::string::npos);
        QVERIFY(!DraftExists(folder));
        Window next(folder);
        QVERIFY(next->titleEdit()->text().isEmpty());
        QVERIFY(next->bodyEdit()->toPlainText().isEmpty());
    }

    // The set, the chosen image and its alt text come back with the text, so
    // the entry is the one that was being written.
    void TheSetAndTheImageComeBackToo() {
        ProgramFolder folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteSet("b", "other.html", "other.txt");
        folder.WriteFile("page.html", kPageText);
        folder.WriteFile("other.html", kPageText);
        folder.WriteFile("templet.txt", kTemplateText);
        folder.WriteFile("other.txt", "<p>*$</p>");
        {
            Window w(folder);
            w->setList()->setFocus();
            QTest::keyClick(w->setList(), Qt::Key_Down);
            QCOMPARE(w->runState().currentSetIndex, 1);
            w.io.fileNames.push_back(QString::fromStdString(folder.path("pic.jpg")));
            w->button(kIdBrowseImage)->click();
            w->altTextEdit()->setText(QStringLiteral("猫"));
            w->draft().SaveNow();
        }
        // Meanwhile the stored choice went back to the first set.
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n[STATE]\nCURRENT=0\n");
        Window w(folder);
        QCOMPARE(w->runState().currentSetIndex, 1);
        QCOMPARE(w->setList()->currentText(), QStringLiteral("b"));
        QCOMPARE(w->imageNameEdit()->text(), QStringLiteral("pic.jpg"));
        QVERIFY(w->altTextEdit()->isEnabled());
        w->button(kIdGenerate)->click();
        QVERIFY(
            folder.ReadFile("other.html").find(Sjis("<p><img src=\"pic.jpg\" alt=\"猫\" ></p>")) !=
            std::string::npos);
    }

    // A draft that cannot be written is said once, naming the file; the
    // window goes on.
    void ADraftThatCannotBeWrittenIsSaidOnce() {
        ProgramFolder folder;
        folder.WriteOneSet();
        Window w(folder);
        const FileSizeLimit full(1);
        w->titleEdit()->setText(QStringLiteral("一"));
        w->draft().SaveNow();
        w->titleEdit()->setText(QStringLiteral("二"));
        w->draft().SaveNow();
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QCOMPARE(w.io.messages[0].text,
                 QString::fromStdString(folder.path(kDraftFileName)) +
                     QStringLiteral("\n下書きを保存できません。書いている日記は、ウィンドウを閉じる"
                                    "と残りません。"));
        QVERIFY(w->isVisible());
    }

    // A damaged draft file is left alone and brings nothing back.
    void ADamagedDraftIsIgnored() {
        for (const std::string& bytes :
             {std::string("Quillmaker draft 1\nset 1\na\ntitle 99\nshort\n"),
              std::string("something else"), std::string()}) {
            QVERIFY(!ParseDraft(bytes));
        }
        DraftContent draft{"a", "t\n", "b\r\nc", "", "", "/x.jpg"};
        const auto back = ParseDraft(SerializeDraft(draft));
        QVERIFY(back && back->title == draft.title && back->body == draft.body &&
                back->imageUploadList == draft.imageUploadList);
        ProgramFolder folder;
        folder.WriteOneSet();
        WriteBytes(folder.path(kDraftFileName), "Quillmaker draft 1\nset 1\na\n");
        Window w(folder);
        QVERIFY(w->titleEdit()->text().isEmpty());
        QVERIFY(DraftExists(folder));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::DraftTest)
#include "draft_test.moc"
