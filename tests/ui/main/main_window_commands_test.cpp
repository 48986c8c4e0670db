// The main window's buttons reach the dialogs and commands that serve them.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "main_window_fixture.h"
#include "ui/main/window_commands.h"

namespace qm::test {

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

  private:
    // The window on one set "a", with every command attached.
    struct Opened {
        ProgramFolder folder;
        ScriptedInteraction io;
        std::unique_ptr<MainDialog> window;
        std::unique_ptr<WindowCommands> commands;

        Opened() {
            folder.WriteOneSet();
            window = std::make_unique<MainDialog>(io, folder.dir());
            commands = std::make_unique<WindowCommands>(*window);
            if (!window->Initialise()) window.reset();
        }
    };

  private slots:
    void anchorBuilderWrapsTheSelection() {
        Opened o;
        QVERIFY(o.window);
        QPlainTextEdit* body = o.window->bodyEdit();
        body->setPlainText(QStringLiteral("今日は散歩"));
        QTextCursor cursor = body->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(5, QTextCursor::KeepAnchor);  // 散歩
        body->setTextCursor(cursor);
        o.io.dialogs.push_back([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("href"))->setText("walk.html");
            dialog.accept();
            return dialog.result();
        });
        o.window->button(kIdAnchorBuilder)->click();
        QCOMPARE(body->toPlainText(), QStringLiteral("今日は<a href=\"walk.html\">散歩</a>"));
        QVERIFY(body->textCursor().selectedText().endsWith(QStringLiteral("散歩</a>")));
    }

    void imageBrowseJoinsTheUploadListInOrder() {
        Opened o;
        QVERIFY(o.window);
        o.io.fileNames.push_back(QStringLiteral("/pics/a.jpg"));
        o.io.fileNames.push_back(QStringLiteral("/pics/b\" \"c.png"));
        o.window->button(kIdBrowseImage)->click();
        o.window->button(kIdBrowseImage)->click();
        // Each path one quoted argument, a quote inside escaped.
        QCOMPARE(o.window->runState().imageUploadList,
                 std::string("\"/pics/a.jpg\" \"/pics/b\\\" \\\"c.png\""));
        QCOMPARE(o.window->imageNameEdit()->text(), QStringLiteral("b\" \"c.png"));
        QVERIFY(o.window->altTextEdit()->isEnabled());
    }

    void addSetReloadsTheSetList() {
        Opened o;
        QVERIFY(o.window);
        // Whatever the manager did (here: a second set appears), the window
        // reads the list again once it has closed.
        ProgramFolder& folder = o.folder;
        o.io.dialogs.push_back([&folder](QDialog& dialog) {
            folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
            folder.WriteSet("b", "page.html", "templet.txt");
            dialog.reject();
            return dialog.result();
        });
        o.window->button(kIdAddSet)->click();
        QCOMPARE(o.window->setList()->count(), 2);
        QCOMPARE(o.io.dialogTitles.size(), 1);
    }

    void escapeFromTheFirstSetManagerEndsTheStart() {
        ProgramFolder folder;  // no settings at all: a first start
        ScriptedInteraction io;
        MainDialog window(io, folder.dir());
        WindowCommands commands(window);
        io.dialogs.push_back([](QDialog& dialog) {
            dialog.reject();
            return dialog.result();
        });
        QVERIFY(!window.Initialise());
        QCOMPARE(io.dialogTitles.size(), 1);
    }

    void pathSettingsOpenOnTheActiveSetAndSelectAgain() {
        Opened o;
        QVERIFY(o.window);
        o.folder.WriteSet("a", "page.html", "templet.txt");  // without QUILL
        o.window->button(kIdPathSettings)->click();
        QCOMPARE(o.io.dialogTitles.size(), 1);
        QVERIFY2(o.io.dialogTitles.front().contains(QStringLiteral("a.ini")),
                 qPrintable(o.io.dialogTitles.front()));
        QCOMPARE(ReadProfileString(o.folder.path("a.ini"), "FILEPATH", "QUILL", "", 300),
                 o.folder.path("page.html"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::MainWindowCommandsTest)
#include "main_window_commands_test.moc"
