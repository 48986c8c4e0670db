// "Do It !!!" through the window: the typed entry reaches the page as
// Shift-JIS with CR LF, the window ends on success and keeps everything
// typed on failure.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

class MainDialogGenerateTest : public QObject {
    Q_OBJECT
  private slots:
    void AGenerateWritesThePageAndEndsTheRun() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->titleEdit()->setText(QStringLiteral("晴れ"));
        window->bodyEdit()->setPlainText(QStringLiteral("散歩した\n十分に😀"));

        QTest::mouseClick(window->button(kIdGenerate), Qt::LeftButton);

        const std::string page = folder.ReadFile("page.html");
        const std::string entry =
            Sjis("<h2>晴れ</h2>\r\n<p>散歩した<BR>\r\n十分に&#x1F600;</p>\r\n");
        QVERIFY2(page.find(entry) != std::string::npos, page.c_str());
        // The marker stays above the new entry, the older one below it.
        QVERIFY(page.find(Sjis("<!-- ここに挿入 -->")) < page.find(entry));
        QVERIFY(page.find(entry) < page.find("older entry"));
        QVERIFY(io.messages.empty());
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), 565);
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Height"), 499);
    }

    void AFailedGenerateKeepsTheWindowAndTheText() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteFile("page.html", "<html>no marker here</html>");
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->titleEdit()->setText(QStringLiteral("題"));
        window->bodyEdit()->setPlainText(QStringLiteral("一行目\n二行目"));
        window->uploadCheckBox()->setChecked(true);
        int started = 0;
        window->host().programStarter = [&](std::string_view, std::string_view) {
            ++started;
            return StartResult::Started;
        };

        QTest::mouseClick(window->button(kIdGenerate), Qt::LeftButton);

        QCOMPARE(io.messages.size(), std::size_t{1});
        QCOMPARE(io.messages[0].text, QStringLiteral("埋め込む場所わかんないダス"));
        QCOMPARE(io.messages[0].caption, QStringLiteral("埋め込む場所わかんねっす。"));
        QVERIFY(io.messages[0].buttons == Interaction::Buttons::Ok);
        QVERIFY(window->isVisible());
        QCOMPARE(window->titleEdit()->text(), QStringLiteral("題"));
        QCOMPARE(window->bodyEdit()->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(started, 0);
        QCOMPARE(folder.ReadFile("page.html"), std::string("<html>no marker here</html>"));
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), -999);

        // Mended by hand, the same button writes the same entry.
        folder.WriteFile("page.html", kPageText);
        QTest::mouseClick(window->button(kIdGenerate), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(folder.ReadFile("page.html").find(Sjis("一行目<BR>\r\n二行目")) !=
                std::string::npos);
        QCOMPARE(started, 1);
    }

    void TheUploadToolGetsThePageAndAMissingToolIsReported() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->uploadCheckBox()->setChecked(true);
        std::string program;
        std::string parameters;
        window->host().programStarter = [&](std::string_view p, std::string_view a) {
            program = p;
            parameters = a;
            return StartResult::NotFound;
        };

        QTest::mouseClick(window->button(kIdGenerate), Qt::LeftButton);

        QCOMPARE(program, std::string("tavmo/tavmo.exe"));
        QCOMPARE(parameters, "\"" + folder.path("page.html") + "\"");
        QCOMPARE(io.messages.size(), std::size_t{1});
        QCOMPARE(io.messages[0].text, QStringLiteral("tavmo/tavmo.exeがみつかりません。"));
        QCOMPARE(io.messages[0].caption, QStringLiteral("パスが違うよ"));
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(MainDialogGenerateTest)
#include "main_dialog_generate_test.moc"
