// The main window: its endings and the size they save, its layout, the keys,
// the set list, the upload box, the tag list and a generate run through it.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "support/write_limit.h"
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
        window = std::make_unique<MainDialog>(io, folder.dir());
        if (!window->Initialise()) window.reset();
        if (window) window->show();
        QCoreApplication::processEvents();
    }
    int Stored(std::string_view key) const { return folder.ReadInt("WINDOWSIZE", key); }
};

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void CloseAsksUpToThreeQuestions() {
        const QStringList captions = {"え？", "本気で？", "もぅぃぃょ、、、"};
        struct Row {
            std::deque<Answer> answers;
            qsizetype shown;
            bool closes;
        };
        for (const Row& row :
             {Row{{Answer::No}, 1, false}, Row{{Answer::Yes, Answer::Yes}, 2, false},
              Row{{Answer::Yes, Answer::No, Answer::Ok}, 3, true}}) {
            Opened o;
            QVERIFY(o.window);
            o.window->resize(700, 600);
            o.io.answers = row.answers;

            QCOMPARE(o.window->close(), row.closes);

            QStringList shown;
            for (const auto& message : o.io.messages) shown << message.caption;
            QCOMPARE(shown, captions.first(row.shown));
            QCOMPARE(o.window->isVisible(), !row.closes);
            if (!row.closes) {
                QCOMPARE(o.Stored("Width"), -999);
                continue;
            }
            QCOMPARE(o.io.messages[2].text, QStringLiteral("私は遊びだったのね･ﾟ･（ﾉД`）･ﾟ･"));
            QVERIFY(o.io.messages[2].buttons == Interaction::Buttons::Ok);
            // The outer size: the client area the resize asked for plus the frame.
            QCOMPARE(o.Stored("Width"),
                     700 + o.window->frameGeometry().width() - o.window->width());
            QCOMPARE(o.Stored("Height"), o.window->frameGeometry().height());
        }
    }

    void EscapeAsksOnlyInTheBody() {
        Opened o;
        QVERIFY(o.window);
        o.window->bodyEdit()->setFocus();
        o.io.answers = {Answer::No};
        QTest::keyClick(o.window->bodyEdit(), Qt::Key_Escape);
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QVERIFY(o.window->isVisible());

        o.window->titleEdit()->setFocus();
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Escape);
        QCOMPARE(o.io.messages.size(), std::size_t{1});
        QVERIFY(!o.window->isVisible());
        QCOMPARE(o.Stored("Width"), 565);
    }

    void AStoredNarrowWidthIsHonouredUntilTheFirstDrag() {
        Opened o("[INI]\n0=a\n[WINDOWSIZE]\nWidth=300\nHeight=520\n");
        QVERIFY(o.window);
        QCOMPARE(o.window->frameGeometry(), QRect(0, 0, 300, 520));
        o.window->resize(o.window->width() + 10, o.window->height());
        QCOMPARE(o.window->frameGeometry(), QRect(0, 0, 565, 520));
    }

    void GrowingMovesAnchoredControlsAndStretchesBoxes() {
        Opened o;
        QVERIFY(o.window);
        MainDialog& w = *o.window;
        std::map<int, QRect> before;
        for (int id : {1000, 1001, 1006, 1007, 1010, 1032}) before[id] = w.control(id)->geometry();

        w.resize(w.width() + 100, w.height() + 100);

        const auto moved = [&](int id, int dx, int dy, int dw, int dh) {
            return before.at(id).adjusted(dx, dy, dx + dw, dy + dh);
        };
        QCOMPARE(w.control(1007)->geometry(), moved(1007, 100, 0, 0, 0));
        QCOMPARE(w.control(1006)->geometry(), moved(1006, 100, 100, 0, 0));
        QCOMPARE(w.control(1010)->geometry(), moved(1010, 0, 100, 0, 0));
        QCOMPARE(w.control(1000)->geometry(), moved(1000, 0, 0, 100, 0));
        QCOMPARE(w.control(1001)->geometry(), moved(1001, 0, 0, 100, 100));
        QCOMPARE(w.control(1032)->geometry(), before.at(1032));
        QCOMPARE(w.control(kIdGenerate)->geometry(),
                 QRect(w.width() - 110, w.height() - 40, 110, 39));
    }

    void EnterMovesFromTheTitleToTheBody() {
        Opened o;
        QVERIFY(o.window);
        QTest::keyClicks(o.window->titleEdit(), QStringLiteral("title"));
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Return);
        QCOMPARE(o.window->focusWidget(), static_cast<QWidget*>(o.window->bodyEdit()));
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.folder.ReadFile("page.html"), Sjis(kPageText));
        QVERIFY(o.io.messages.empty());
    }

    void TheUploadBoxWritesEachClick() {
        Opened o;
        QVERIFY(o.window);
        QTest::mouseClick(o.window->uploadCheckBox(), Qt::LeftButton);
        QCOMPARE(o.folder.ReadText("STATE", "UP"), std::string("1"));
    }

    // The upload box, the set list and the size saved at the end each name
    // the settings file they could not write.
    void FailedSettingsWritesAreReported() {
        Opened o("[INI]\n0=a\n1=b\n");
        o.folder.WriteSet("b", "page.html", "templet.txt");
        QVERIFY(o.window);
        const QString named =
            QString::fromStdString(o.folder.systemIni()) +
            QStringLiteral("\nこの設定ファイルに書き込めなかったので、変更は保存されていません。");
        const FileSizeLimit full(1);
        QTest::mouseClick(o.window->uploadCheckBox(), Qt::LeftButton);
        o.window->setList()->setFocus();
        QTest::keyClick(o.window->setList(), Qt::Key_Down);
        // The reload reads the stored choice back: the set in use stays "a".
        QCOMPARE(o.window->runState().currentSetIndex, 0);
        QCOMPARE(o.window->setList()->currentText(), QStringLiteral("a"));
        o.window->titleEdit()->setFocus();
        QTest::keyClick(o.window->titleEdit(), Qt::Key_Escape);
        QVERIFY(!o.window->isVisible());

        QCOMPARE(o.io.messages.size(), std::size_t{3});
        for (const auto& message : o.io.messages) {
            QCOMPARE(message.text, named);
            QCOMPARE(message.caption, QStringLiteral("設定を保存できないよ"));
        }
        QCOMPARE(o.folder.ReadText("STATE", "UP"), std::string("<absent>"));
    }

    void ChoosingAnotherSetLoadsItAndRemembersIt() {
        Opened o("[INI]\n0=a\n1=b\n");
        o.folder.WriteSet("b", "other.html", "other.txt");
        QVERIFY(o.window);
        o.window->setList()->setFocus();
        QTest::keyClick(o.window->setList(), Qt::Key_Down);

        QCOMPARE(o.window->runState().currentSetIndex, 1);
        QCOMPARE(o.folder.ReadInt("STATE", "CURRENT"), 1);
        QCOMPARE(o.window->config().prototypePath, o.folder.path("other.html"));
        QCOMPARE(o.window->config().templatePath, o.folder.path("other.txt"));
    }

    void AGenerateWritesThePageAndEndsTheRun() {
        Opened o;
        QVERIFY(o.window);
        o.window->titleEdit()->setText(QStringLiteral("晴れ"));
        o.window->bodyEdit()->setPlainText(QStringLiteral("散歩した\n十分に😀"));

        QTest::mouseClick(o.window->button(kIdGenerate), Qt::LeftButton);

        const std::string page = o.folder.ReadFile("page.html");
        const std::string entry =
            Sjis("<h2>晴れ</h2>\r\n<p>散歩した<BR>\r\n十分に&#x1F600;</p>\r\n");
        QVERIFY2(page.find(entry) != std::string::npos, page.c_str());
        QVERIFY(page.find(Sjis("<!-- ここに挿入 -->")) < page.find(entry));
        QVERIFY(page.find(entry) < page.find("older entry"));
        QVERIFY(o.io.messages.empty());
        QVERIFY(!o.window->isVisible());
        QCOMPARE(o.window->result(), int(QDialog::Accepted));
    }

    // What browsers would show as another character goes in as a reference.
    void TypedYenOverlineAndTagCharactersBecomeReferences() {
        Opened o;
        QVERIFY(o.window);
        o.window->titleEdit()->setText(QStringLiteral("¥100"));
        o.window->bodyEdit()->setPlainText(QString::fromUtf8("‾〜\U000E0041"));
        QTest::mouseClick(o.window->button(kIdGenerate), Qt::LeftButton);
        const std::string page = o.folder.ReadFile("page.html");
        QVERIFY2(page.find("<h2>&#xA5;100</h2>\r\n<p>&#x203E;\x81\x60&#xE0041;</p>") !=
                     std::string::npos,
                 page.c_str());
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
        QVERIFY(o.window->isVisible());
        QCOMPARE(o.window->titleEdit()->text(), QStringLiteral("題"));
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(o.folder.ReadFile("page.html"), std::string("<html>no marker here</html>"));
    }

    void TheTagListIsSeededWithARule() {
        Opened o;
        QVERIFY(o.window);
        QListWidget& tags = *o.window->tagList();
        QCOMPARE(tags.count(), 1);
        QCOMPARE(tags.item(0)->text(), QStringLiteral("<HR>"));
        QCOMPARE(o.folder.ReadText("TAG_PREFIX", "0"), std::string("<HR>"));
        QCOMPARE(o.folder.ReadText("TAG_SUFFIX", "0"), std::string());

        o.window->bodyEdit()->setPlainText(QStringLiteral("今日"));
        const QRect rect = tags.visualItemRect(tags.item(0));
        QTest::mouseClick(tags.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(tags.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("<HR>今日"));
        // The wrap is one step back with Ctrl+Z.
        o.window->bodyEdit()->setFocus();
        QTest::keyClick(o.window->bodyEdit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(o.window->bodyEdit()->toPlainText(), QStringLiteral("今日"));
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
