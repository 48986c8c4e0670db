// The endings of the main window: the close questions, Escape, and the size
// written whichever way the run ends.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;
using Answer = Interaction::Answer;

class MainDialogCloseTest : public QObject {
    Q_OBJECT
  private slots:
    void NoAtTheFirstQuestionKeepsTheWindow() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->titleEdit()->setText(QStringLiteral("今日のこと"));
        io.answers = {Answer::No};

        QVERIFY(!window->close());

        QCOMPARE(io.messages.size(), std::size_t{1});
        QCOMPARE(io.messages[0].text, QStringLiteral("なに？日記書かないつもり？"));
        QCOMPARE(io.messages[0].caption, QStringLiteral("え？"));
        QVERIFY(io.messages[0].buttons == Interaction::Buttons::YesNo);
        QVERIFY(io.messages[0].icon == Interaction::Icon::None);
        QVERIFY(window->isVisible());
        QCOMPARE(window->titleEdit()->text(), QStringLiteral("今日のこと"));
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), -999);
    }

    void YesThenYesKeepsTheWindow() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        io.answers = {Answer::Yes, Answer::Yes};

        QVERIFY(!window->close());

        QCOMPARE(io.messages.size(), std::size_t{2});
        QCOMPARE(io.messages[1].text, QStringLiteral("ホントは書きたいんでしょ？？"));
        QCOMPARE(io.messages[1].caption, QStringLiteral("本気で？"));
        QVERIFY(window->isVisible());

        // Nothing is remembered: the next request starts at the first question.
        io.answers = {Answer::No};
        QVERIFY(!window->close());
        QCOMPARE(io.messages.size(), std::size_t{3});
        QCOMPARE(io.messages[2].caption, QStringLiteral("え？"));
    }

    void YesThenNoClosesAndSavesTheSize() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->resize(700, 600);
        io.answers = {Answer::Yes, Answer::No, Answer::Ok};

        QVERIFY(window->close());

        QCOMPARE(io.messages.size(), std::size_t{3});
        QCOMPARE(io.messages[2].text, QStringLiteral("私は遊びだったのね･ﾟ･（ﾉД`）･ﾟ･"));
        QCOMPARE(io.messages[2].caption, QStringLiteral("もぅぃぃょ、、、"));
        QVERIFY(io.messages[2].buttons == Interaction::Buttons::Ok);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Rejected));
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), window->frameGeometry().width());
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Height"), window->frameGeometry().height());
        // The outer size: the client area the resize asked for plus the frame.
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"),
                 700 + window->frameGeometry().width() - window->width());
    }

    void EscapeOutsideTheBodyEndsAtOnce() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QTest::keyClick(window->titleEdit(), Qt::Key_Escape);

        QVERIFY(io.messages.empty());
        QVERIFY(!window->isVisible());
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), 565);
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Height"), 499);
    }

    void EscapeInTheBodyAsksFirst() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->bodyEdit()->setPlainText(QStringLiteral("書きかけ"));
        window->bodyEdit()->setFocus();
        io.answers = {Answer::No};

        QTest::keyClick(window->bodyEdit(), Qt::Key_Escape);

        QCOMPARE(io.messages.size(), std::size_t{1});
        QVERIFY(window->isVisible());
        QCOMPARE(window->bodyEdit()->toPlainText(), QStringLiteral("書きかけ"));
    }
};

QTEST_MAIN(MainDialogCloseTest)
#include "main_dialog_close_test.moc"
