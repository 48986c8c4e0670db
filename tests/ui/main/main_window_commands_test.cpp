// The main window's buttons reach the dialogs and commands that serve them,
// and a new user's first days through the real windows.
#include <QComboBox>
#include <filesystem>

#include "main_window_fixture.h"

namespace qm::test {

namespace {

void Click(QDialog& dialog, const char* id) {
    auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(id));
    QVERIFY2(button, id);
    button->click();
}

// A sub-dialog that ends at once.
int Reject(QDialog& dialog) {
    dialog.reject();
    return dialog.result();
}

// Queues the answers for "make a set NAME whose files are in SUB": the set
// manager creates it, the path settings browse the files, choose monthly
// pages (which enables the log page) and take the log.
void ScriptNewSet(ScriptedInteraction& io, const ProgramFolder& folder, const QString& name,
                  const std::string& sub) {
    std::filesystem::create_directories(folder.path(sub));
    folder.WriteFile(sub + "/original.html", kPageText);
    folder.WriteFile(sub + "/templet.txt", kTemplateText);
    folder.WriteFile(sub + "/log.html", "<ul>\r\n<!-- ここにログ -->\r\n</ul>\r\n");
    for (const char* file : {"/original.html", "/templet.txt", "/log.html"})
        io.fileNames.push_back(QString::fromStdString(folder.path(sub + file)));
    io.dialogs.push_back([name](QDialog& manager) {
        manager.findChild<QLineEdit*>(QStringLiteral("id1030"))->setText(name);
        Click(manager, "id1029");  // creating opens the path settings at once
        Click(manager, "id1");
        return manager.result();
    });
    io.dialogs.push_back([](QDialog& paths) {
        for (const char* id : {"id1005", "id1008", "id2001", "id1026", "id1"}) Click(paths, id);
        return paths.result();
    });
}

}  // namespace

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void anchorBuilderWrapsTheSelection() {
        OneSet folder;
        Opened w(folder);
        w->bodyEdit()->setPlainText(QStringLiteral("散歩"));
        w->bodyEdit()->selectAll();
        w.io.dialogs.push_back([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("href"))->setText("walk.html");
            dialog.accept();
            return dialog.result();
        });
        w->button(kIdAnchorBuilder)->click();
        QCOMPARE(w->bodyEdit()->toPlainText(), QStringLiteral("<a href=\"walk.html\">散歩</a>"));
    }

    void imageBrowseJoinsTheUploadListInOrder() {
        OneSet folder;
        Opened w(folder);
        w.io.fileNames = {QStringLiteral("/pics/a.jpg"), QStringLiteral("/pics/b\" \"c.png")};
        w->button(kIdBrowseImage)->click();
        w->button(kIdBrowseImage)->click();
        // Each path one quoted argument, a quote inside escaped.
        QCOMPARE(w->runState().imageUploadList,
                 std::string("\"/pics/a.jpg\" \"/pics/b\\\" \\\"c.png\""));
        QCOMPARE(w->imageNameEdit()->text(), QStringLiteral("b\" \"c.png"));
        QVERIFY(w->altTextEdit()->isEnabled());
    }

    void escapeFromTheFirstSetManagerEndsTheStart() {
        ProgramFolder folder;  // no settings at all: a first start
        ScriptedInteraction io;
        MainDialog window(io, folder.dir());
        WindowCommands commands(window);
        io.dialogs.push_back(Reject);
        QVERIFY(!window.Initialise());
        QCOMPARE(io.dialogTitles.size(), 1);
    }

    // Make a first set, write an entry, start again, add a second diary,
    // switch to it.
    void firstDaysOfANewUser() {
        ProgramFolder folder;
        const std::string page = folder.path("web/diary26-Dec.html");
        {
            ScriptedInteraction io;
            ScriptNewSet(io, folder, QStringLiteral("日記"), "web");
            MainDialog window(io, folder.dir());
            WindowCommands commands(window);
            QVERIFY(window.Initialise());
            QCOMPARE(window.setList()->count(), 1);
            QCOMPARE(window.config().diaryPage, page);
            QVERIFY(folder.ReadFile("web/log.html").find("diary26-Dec.html") != std::string::npos);
            window.titleEdit()->setText(QStringLiteral("はじめの日"));
            window.button(kIdGenerate)->click();
            QVERIFY(!window.isVisible());
            QVERIFY(folder.PageHas("web/diary26-Dec.html", "はじめの日"));
        }
        Opened w(folder);
        QVERIFY(w.io.dialogTitles.isEmpty());
        ScriptNewSet(w.io, folder, QStringLiteral("旅行"), "trip");
        w->button(kIdAddSet)->click();
        QCOMPARE(w->setList()->count(), 2);
        w->setList()->setFocus();
        QTest::keyClick(w->setList(), Qt::Key_Down);  // as the user chooses it
        QCOMPARE(w->config().diaryPage, folder.path("trip/diary26-Dec.html"));
        QCOMPARE(folder.ReadInt("STATE", "CURRENT"), 1);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::MainWindowCommandsTest)
#include "main_window_commands_test.moc"
