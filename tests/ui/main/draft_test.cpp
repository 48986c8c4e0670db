// The draft: what is typed in the main window outlives Escape, the close
// questions and a crash, comes back at the next start, and goes once the
// entry is in the page.
#include "ui/main/draft.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <filesystem>

#include "main_window_fixture.h"
#include "support/write_limit.h"

namespace qm::test {

namespace {

// Text as an input method commits it, the way Japanese reaches a box.
void Type(QWidget* box, const QString& text) {
    box->setFocus();
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

    // Escape and the close questions write the draft at once; "Do It !!!"
    // after a restart writes what came back and removes it, a failed one keeps it.
    void TheDraftOutlivesEveryEndingButAGenerate() {
        OneSet folder;
        {
            Opened w(folder);
            w->titleEdit()->setText(QStringLiteral("晴れ"));
            w->titleEdit()->setFocus();
            QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        }
        {
            Opened w(folder);
            QCOMPARE(w->titleEdit()->text(), QStringLiteral("晴れ"));
            w->bodyEdit()->setPlainText(QStringLiteral("散歩"));
            w.io.answers = {Answer::Yes, Answer::No, Answer::Ok};
            QVERIFY(w->close());
        }
        {
            Opened w(folder);
            folder.WriteFile("page.html", "<html>no marker</html>");
            w->button(kIdGenerate)->click();
            QCOMPARE(w.io.messages.at(0).text, QStringLiteral("埋め込む場所わかんないダス"));
            QVERIFY(w->isVisible());
            QCOMPARE(w->bodyEdit()->toPlainText(), QStringLiteral("散歩"));
            QCOMPARE(folder.ReadFile("page.html"), std::string("<html>no marker</html>"));
            QVERIFY(DraftExists(folder));
        }
        folder.WriteFile("page.html", kPageText);
        Opened w(folder);
        w->button(kIdGenerate)->click();
        QVERIFY(!w->isVisible());
        QVERIFY(folder.PageHas("page.html", "<h2>晴れ</h2>\r\n<p>散歩</p>"));
        QVERIFY(!DraftExists(folder));
        Opened next(folder);
        QVERIFY(next->titleEdit()->text().isEmpty() && next->bodyEdit()->toPlainText().isEmpty());
    }

    // The set, the chosen image and its alt text come back with the text,
    // even when the stored choice of set went back to the first meanwhile.
    void TheSetAndTheImageComeBackToo() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
        folder.WriteSet("b", "other.html", "other.txt");
        folder.WriteFile("other.html", kPageText);
        folder.WriteFile("other.txt", "<p>*$</p>");
        {
            Opened w(folder);
            w->setList()->setFocus();
            QTest::keyClick(w->setList(), Qt::Key_Down);
            w.io.fileNames.push_back(QString::fromStdString(folder.path("pic.jpg")));
            w->button(kIdBrowseImage)->click();
            w->altTextEdit()->setText(QStringLiteral("猫"));
            w->draft().SaveNow();
        }
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n[STATE]\nCURRENT=0\n");
        Opened w(folder);
        QCOMPARE(w->setList()->currentText(), QStringLiteral("b"));
        QCOMPARE(w->imageNameEdit()->text(), QStringLiteral("pic.jpg"));
        w->button(kIdGenerate)->click();
        QVERIFY(folder.PageHas("other.html", "<p><img src=\"pic.jpg\" alt=\"猫\" ></p>"));
    }

    // A draft that cannot be written is said once, naming the file; the
    // window goes on.
    void ADraftThatCannotBeWrittenIsSaidOnce() {
        OneSet folder;
        Opened w(folder);
        const FileSizeLimit full(1);
        for (const QString& title : {QStringLiteral("一"), QStringLiteral("二")}) {
            w->titleEdit()->setText(title);
            w->draft().SaveNow();
        }
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QCOMPARE(w.io.messages[0].text,
                 QString::fromStdString(folder.path(kDraftFileName)) +
                     QStringLiteral("\n下書きを保存できません。書いている日記は、ウィンドウを閉じる"
                                    "と残りません。"));
        QVERIFY(w->isVisible());
    }

    // A damaged draft file is left alone and brings nothing back.
    void ADamagedDraftIsIgnored() {
        QVERIFY(!ParseDraft("Quillmaker draft 1\nset 1\na\ntitle 99\nshort\n"));
        QVERIFY(!ParseDraft(""));
        OneSet folder;
        WriteBytes(folder.path(kDraftFileName), "Quillmaker draft 1\nset 1\na\n");
        Opened w(folder);
        QVERIFY(w->titleEdit()->text().isEmpty());
        QVERIFY(DraftExists(folder));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::DraftTest)
#include "draft_test.moc"
