// The main window: its endings and the size they save, its layout, the keys,
// the set list, the upload box, the tag list and a generate run through it.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "ui/main/cp932_text.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;
using Answer = Interaction::Answer;

namespace {

// The window shown on one set "a"; `systemIni`, when given, replaces the
// system settings file (it should still list "0=a").
struct Opened {
    ProgramFolder folder;
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> window;

    explicit Opened(std::string_view systemIni = {}) {
        folder.WriteOneSet();
        if (!systemIni.empty()) folder.WriteSystemIni(systemIni);
        window = OpenWindow(folder, io);
    }
    int Stored(std::string_view key) const { return folder.ReadInt("WINDOWSIZE", key); }
};

void Select(QPlainTextEdit& body, int from, int to) {
    QTextCursor cursor = body.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    body.setTextCursor(cursor);
}

void DoubleClickItem(QListWidget& list, int row) {
    const QRect rect = list.visualItemRect(list.item(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void CloseAsksUpToThreeQuestions() {
        struct Box {
            QString text, caption;
            Interaction::Buttons buttons;
        };
        const std::vector<Box> boxes = {
            {"なに？日記書かないつもり？", "え？", Interaction::Buttons::YesNo},
            {"ホントは書きたいんでしょ？？", "本気で？", Interaction::Buttons::YesNo},
            {"私は遊びだったのね･ﾟ･（ﾉД`）･ﾟ･", "もぅぃぃょ、、、", Interaction::Buttons::Ok}};
        struct Row {
            std::deque<Answer> answers;
            std::size_t shown;
            bool closes;
        };
        for (const Row& row :
             {Row{{Answer::No}, 1, false}, Row{{Answer::Yes, Answer::Yes}, 2, false},
              Row{{Answer::Yes, Answer::No, Answer::Ok}, 3, true}}) {
            Opened o;
            QVERIFY(o.window);
            o.window->resize(700, 600);
            o.window->titleEdit()->setText(QStringLiteral("今日のこと"));
            o.io.answers = row.answers;

            QCOMPARE(o.window->close(), row.closes);

            QCOMPARE(o.io.messages.size(), row.shown);
            for (std::size_t i = 0; i < row.shown; ++i) {
                QCOMPARE(o.io.messages[i].text, boxes[i].text);
                QCOMPARE(o.io.messages[i].caption, boxes[i].caption);
                QVERIFY(o.io.messages[i].buttons == boxes[i].buttons);
                QVERIFY(o.io.messages[i].icon == Interaction::Icon::None);
            }
            QCOMPARE(o.window->isVisible(), !row.closes);
            QCOMPARE(o.window->titleEdit()->text(), QStringLiteral("今日のこと"));
            if (!row.closes) {
                QCOMPARE(o.Stored("Width"), -999);
                // Nothing is remembered: the next request starts at the first question.
                o.io.answers = {Answer::No};
                QVERIFY(!o.window->close());
                QCOMPARE(o.io.messages.back().caption, QStringLiteral("え？"));
                continue;
            }
            QCOMPARE(o.window->result(), int(QDialog::Rejected));
            // The outer size: the client area the resize asked for plus the frame.
            QCOMPARE(o.Stored("Width"),
                     700 + o.window->frameGeometry().width() - o.window->width());
            QCOMPARE(o.Stored("Height"), o.window->frameGeometry().height());
        }
    }

    void EscapeAsksOnlyInTheBody() {
        Opened o;
        QVERIFY(o.window);
        o.window->bodyEdit()->setPlainText(QStringLiteral("書きかけ"));
        o.window->bodyEdit()->setFocus();
        o.io.answers = {Answer::No};
        QTest::keyClick(o.window->bodyEdit(), Qt::Key_Escape);
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("書きかけ"));

        o.window->titleEdit()->setFocus();
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Escape);
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QVERIFY(!o.window->isVisible());
        QCOMPARE(o.Stored("Width"), 565);
        QCOMPARE(o.Stored("Height"), 499);
    }

    void StartSizeAndMinimum() {
        Opened first;
        QVERIFY(first.window);
        QCOMPARE(first.window->frameGeometry(), QRect(0, 0, 565, 499));
        first.window->resize(700, 600);
        first.window->resize(400, 300);
        QCOMPARE(first.window->frameGeometry().size(), QSize(565, 499));

        // A stored narrow width is honoured until the user's first drag.
        Opened narrow("[INI]\n0=a\n[WINDOWSIZE]\nWidth=300\nHeight=520\n");
        QVERIFY(narrow.window);
        QCOMPARE(narrow.window->frameGeometry(), QRect(0, 0, 300, 520));
        narrow.window->resize(narrow.window->width() + 10, narrow.window->height());
        QCOMPARE(narrow.window->frameGeometry(), QRect(0, 0, 565, 520));
    }

    void GrowingMovesAnchoredControlsAndStretchesBoxes() {
        Opened o;
        QVERIFY(o.window);
        MainDialog& w = *o.window;
        const std::vector<int> ids = {1000, 1001, 1002, 1003, 1004, 1006, 1007, 1010, 1013, 1017,
                                      1023, 1028, 1029, 1032, 1033, 1034, 1035, 1041, 1042, 1058};
        std::map<int, QRect> before;
        for (int id : ids) before[id] = w.control(id)->geometry();

        w.resize(w.width() + 100, w.height() + 100);

        struct Row {
            std::vector<int> ids;
            int dx, dy, dw, dh;
        };
        const std::vector<Row> moves = {{{1007, 1013, 1041, 1058, 1042}, 100, 0, 0, 0},
                                        {{1023}, 100, 0, 0, 100},
                                        {{1006, 1017, 1004}, 100, 100, 0, 0},
                                        {{1010, 1002, 1028, 1003, 1029, 1035}, 0, 100, 0, 0},
                                        {{1000, 1033}, 0, 0, 100, 0},
                                        {{1001}, 0, 0, 100, 100},
                                        {{1032, 1034}, 0, 0, 0, 0}};
        for (const Row& row : moves) {
            for (int id : row.ids) {
                const QRect old = before.at(id);
                QCOMPARE(w.control(id)->geometry(),
                         QRect(old.x() + row.dx, old.y() + row.dy, old.width() + row.dw,
                               old.height() + row.dh));
            }
        }
        // The controls placed in pixels rather than by their neighbours.
        QCOMPARE(w.control(kIdGenerate)->geometry(),
                 QRect(w.width() - 110, w.height() - 40, 110, 39));
        QCOMPARE(w.control(kIdTitle)->pos(), QPoint(40, 0));
        QCOMPARE(w.control(kIdAltText)->pos(), QPoint(288, 24));
        QCOMPARE(w.control(kIdBody)->pos(), QPoint(0, 44));
        QCOMPARE(w.windowWidth(), w.frameGeometry().width());
        QCOMPARE(w.windowHeight(), w.frameGeometry().height());
    }

    void EnterMovesFromTheTitleToTheBody() {
        Opened o;
        QVERIFY(o.window);
        QTest::keyClicks(o.window->titleEdit(), QStringLiteral("title"));
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Return);
        QCOMPARE(o.window->focusWidget(), static_cast<QWidget*>(o.window->bodyEdit()));
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.folder.ReadFile("page.html"), Sjis(kPageText));

        // In the body Enter is a new line.
        QTest::keyClicks(o.window->bodyEdit(), QStringLiteral("a"));
        QTest::keyClick(o.window->bodyEdit(), Qt::Key_Return);
        QTest::keyClicks(o.window->bodyEdit(), QStringLiteral("b"));
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("a\nb"));
        QVERIFY(o.io.messages.empty());
    }

    void TheUploadBoxStartsCheckedOnlyForOneAndWritesEachClick() {
        Opened o("[INI]\n0=a\n[STATE]\nUP=2\n");
        QVERIFY(o.window);
        QVERIFY(!o.window->uploadCheckBox()->isChecked());
        QTest::mouseClick(o.window->uploadCheckBox(), Qt::LeftButton);
        QCOMPARE(o.folder.ReadText("STATE", "UP"), std::string("1"));
        QTest::mouseClick(o.window->uploadCheckBox(), Qt::LeftButton);
        QCOMPARE(o.folder.ReadText("STATE", "UP"), std::string("0"));

        Opened up("[INI]\n0=a\n[STATE]\nUP=1\n");
        QVERIFY(up.window && up.window->uploadCheckBox()->isChecked());
    }

    void ChoosingAnotherSetLoadsItAndRemembersIt() {
        Opened o("[INI]\n0=a\n1=b\n[WINDOWSIZE]\nWidth=600\nHeight=520\n");
        o.folder.WriteSet("b", "other.html", "other.txt");
        o.folder.WriteFile("other.html", kPageText);
        QVERIFY(o.window);
        QComboBox& sets = *o.window->setList();

        // A wheel turned over the list while it is not chosen switches nothing.
        QWheelEvent wheel(QPointF(5, 5), sets.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&sets, &wheel);
        QCOMPARE(o.window->runState().currentSetIndex, 0);

        o.window->resize(750, 620);
        sets.setFocus();
        QTest::keyClick(&sets, Qt::Key_Down);

        QCOMPARE(o.window->runState().currentSetIndex, 1);
        QCOMPARE(o.folder.ReadInt("STATE", "CURRENT"), 1);
        QCOMPARE(o.window->config().prototypePath, o.folder.path("other.html"));
        QCOMPARE(o.window->config().templatePath, o.folder.path("other.txt"));
        QCOMPARE(sets.count(), 2);
        QCOMPARE(sets.currentIndex(), 1);
        // The set change took the stored size again; that is what an ending saves.
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Escape);
        QCOMPARE(o.Stored("Width"), 600);
    }

    void AGenerateWritesThePageAndEndsTheRun() {
        Opened o;
        QVERIFY(o.window);
        o.window->titleEdit()->setText(QStringLiteral("晴れ"));
        o.window->bodyEdit()->setPlainText(QStringLiteral("散歩した\n十分に😀"));
        o.window->uploadCheckBox()->setChecked(true);
        std::string started;
        o.window->host().programStarter = [&](std::string_view program, std::string_view args) {
            started = std::string(program) + " " + std::string(args);
            return StartResult::Started;
        };

        QTest::mouseClick(o.window->button(kIdGenerate), Qt::LeftButton);

        const std::string page = o.folder.ReadFile("page.html");
        const std::string entry =
            Sjis("<h2>晴れ</h2>\r\n<p>散歩した<BR>\r\n十分に&#x1F600;</p>\r\n");
        QVERIFY2(page.find(entry) != std::string::npos, page.c_str());
        QVERIFY(page.find(Sjis("<!-- ここに挿入 -->")) < page.find(entry));
        QVERIFY(page.find(entry) < page.find("older entry"));
        QCOMPARE(started, "tavmo/tavmo.exe \"" + o.folder.path("page.html") + "\"");
        QVERIFY(o.io.messages.empty());
        QVERIFY(!o.window->isVisible());
        QCOMPARE(o.window->result(), int(QDialog::Accepted));
        QCOMPARE(o.Stored("Width"), 565);
    }

    void AFailedGenerateKeepsTheWindowAndTheText() {
        Opened o;
        QVERIFY(o.window);
        o.folder.WriteFile("page.html", "<html>no marker here</html>");
        o.window->titleEdit()->setText(QStringLiteral("題"));
        o.window->bodyEdit()->setPlainText(QStringLiteral("一行目\n二行目"));

        QTest::mouseClick(o.window->button(kIdGenerate), Qt::LeftButton);

        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QCOMPARE(o.io.messages[0].text, QStringLiteral("埋め込む場所わかんないダス"));
        QCOMPARE(o.io.messages[0].caption, QStringLiteral("埋め込む場所わかんねっす。"));
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.window->titleEdit()->text(), QStringLiteral("題"));
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(o.folder.ReadFile("page.html"), std::string("<html>no marker here</html>"));
        QCOMPARE(o.Stored("Width"), -999);

        // Mended by hand, the same button writes the same entry.
        o.folder.WriteFile("page.html", kPageText);
        QTest::mouseClick(o.window->button(kIdGenerate), Qt::LeftButton);
        QVERIFY(!o.window->isVisible());
        QVERIFY(o.folder.ReadFile("page.html").find(Sjis("一行目<BR>\r\n二行目")) !=
                std::string::npos);
    }

    void TheTagListIsSeededAndWrapsTheBody() {
        Opened o;
        QVERIFY(o.window);
        QListWidget& tags = *o.window->tagList();
        QCOMPARE(tags.count(), 1);
        QCOMPARE(tags.item(0)->text(), QStringLiteral("<HR>"));
        QCOMPARE(o.folder.ReadText("TAG_PREFIX", "0"), std::string("<HR>"));
        QCOMPARE(o.folder.ReadText("TAG_SUFFIX", "0"), std::string());

        o.folder.WriteSystemIni(
            "[INI]\n0=a\n[TAG]\n0=<HR>\n1=太字\n[TAG_PREFIX]\n0=<HR class=\"x\">\n1=<b>\n"
            "[TAG_SUFFIX]\n0=\n1=</b>\n");
        o.window->LoadTagListBox();
        QPlainTextEdit& body = *o.window->bodyEdit();
        body.setPlainText(QStringLiteral("今日は十分"));
        Select(body, 3, 5);
        DoubleClickItem(tags, 1);
        QCOMPARE(body.toPlainText(), QStringLiteral("今日は<b>十分</b>"));
        QCOMPARE(body.textCursor().selectedText(), QStringLiteral("<b>十分</b>"));
        // The texts are read afresh from the file at each double click.
        Select(body, 0, 0);
        DoubleClickItem(tags, 0);
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("<HR class=\"x\">今日")));
    }

    void TheTextEdgeKeepsEveryCharacter() {
        // 十 ends in the byte of a backslash; ｱ is a single half-width byte.
        QCOMPARE(FromCp932("\x8f\x5c\x95\xaa\xb1"), QStringLiteral("十分ｱ"));
        QCOMPARE(ToCp932(QStringLiteral("a😀b")), std::string("a&#x1F600;b"));
        // A lone trail byte and a lead byte cut off at the end.
        QCOMPARE(FromCp932(std::string("a\xa0z\x82", 4)), QStringLiteral("a\uFFFDz\uFFFD"));
        QCOMPARE(EditTextToCp932(QStringLiteral("a\nb\u2029c")), std::string("a\r\nb\r\nc"));
        QCOMPARE(EditTextFromCp932("a\r\nb\rc"), QStringLiteral("a\nb\nc"));
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
