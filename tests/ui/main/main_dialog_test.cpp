// The main window: its endings and the size they save, its layout, the keys,
// the set list, the upload box, the tag list and a generate run through it.
#include <QCheckBox>
#include <QComboBox>

#include "support/write_limit.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

class MainDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void CloseAsksUpToThreeQuestions() {
        const QStringList captions = {"え？", "本気で？", "もぅぃぃょ、、、"};
        struct Row {
            std::deque<std::optional<Answer>> answers;
            qsizetype shown;
            bool closes;
        };
        for (const Row& row :
             {Row{{Answer::No}, 1, false}, Row{{Answer::Yes, Answer::Yes}, 2, false},
              Row{{Answer::Yes, Answer::No, Answer::Ok}, 3, true}}) {
            OneSet folder;
            Opened w(folder);
            w->resize(700, 600);
            w.io.answers = row.answers;
            QCOMPARE(w->close(), row.closes);
            QStringList shown;
            for (const auto& message : w.io.messages) shown << message.caption;
            QCOMPARE(shown, captions.first(row.shown));
            QCOMPARE(w->isVisible(), !row.closes);
            // The outer size is saved on closing only: the client area plus the frame.
            QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"),
                     row.closes ? 700 + w->frameGeometry().width() - w->width() : -999);
        }
    }

    void EscapeAsksOnlyInTheBodyAndEnterMovesToIt() {
        OneSet folder;
        Opened w(folder);
        QTest::mouseClick(w->uploadCheckBox(), Qt::LeftButton);  // stored at once
        QCOMPARE(folder.ReadText("STATE", "UP"), std::string("1"));
        w->titleEdit()->setFocus();
        QTest::keyClicks(w->titleEdit(), QStringLiteral("title"));
        QTest::keyClick(w->titleEdit(), Qt::Key_Return);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->bodyEdit()));
        QCOMPARE(folder.ReadFile("page.html"), Sjis(kPageText));
        w.io.answers = {Answer::No};
        QTest::keyClick(w->bodyEdit(), Qt::Key_Escape);
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QVERIFY(w->isVisible());
        w->titleEdit()->setFocus();
        QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
        QCOMPARE(w.io.messages.size(), std::size_t{1});
        QVERIFY(!w->isVisible());
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), 565);
    }

    void AStoredNarrowWidthIsHonouredUntilTheFirstDrag() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni("[INI]\n0=a\n[WINDOWSIZE]\nWidth=300\nHeight=520\n");
        Opened w(folder);
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 300, 520));
        w->resize(w->width() + 10, w->height());
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 565, 520));
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
        QCOMPARE(w->setList()->currentText(), QStringLiteral("a"));
        w->titleEdit()->setFocus();
        QTest::keyClick(w->titleEdit(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w.io.messages.size(), std::size_t{3});
        for (const auto& message : w.io.messages) {
            QCOMPARE(message.text, UnwritableText(folder.systemIni()));
            QCOMPARE(message.caption, QStringLiteral("設定を保存できないよ"));
        }
        QCOMPARE(folder.ReadText("STATE", "UP"), std::string("<absent>"));
    }

    // What browsers would show as another character goes in as a reference.
    void AGenerateWritesThePageAndEndsTheRun() {
        OneSet folder;
        Opened w(folder);
        w.Generate(QStringLiteral("¥晴れ"), QString::fromUtf8("散歩‾〜\U000E0041\n十分に😀"));
        const std::string page = folder.ReadFile("page.html");
        const std::string entry = Sjis("<h2>&#xA5;晴れ</h2>\r\n<p>散歩&#x203E;") + "\x81\x60" +
                                  "&#xE0041;<BR>\r\n" + Sjis("十分に&#x1F600;</p>\r\n");
        QVERIFY2(page.find(entry) != std::string::npos, page.c_str());
        QVERIFY(page.find(Sjis("<!-- ここに挿入 -->")) < page.find(entry));
        QVERIFY(page.find(entry) < page.find("older entry"));
        QVERIFY(w.io.messages.empty() && !w->isVisible());
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
