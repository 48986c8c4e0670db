// A new user's first days, through the real windows with scripted answers:
// make a first set, pick the diary files, write an entry, start again, add a
// second diary, switch to it, delete the first.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "main_window_fixture.h"
#include "ui/main/window_commands.h"

namespace qm::test {

namespace {

void Click(QDialog& dialog, const char* id) {
    auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(id));
    QVERIFY2(button, id);
    button->click();
}

// The path settings of a fresh set: prototype and template browsed, monthly
// pages (which enables the log page), the log browsed, OK.
std::function<int(QDialog&)> FillPathSettings() {
    return [](QDialog& dialog) {
        Click(dialog, "id1005");
        Click(dialog, "id1008");
        Click(dialog, "id2001");
        Click(dialog, "id1026");
        Click(dialog, "id1");
        return dialog.result();
    };
}

}  // namespace

class NewUserJourneyTest : public QObject {
    Q_OBJECT

  private:
    // The user's own diary files, in a folder of their own.
    void WriteDiaryFiles(const ProgramFolder& folder, const std::string& sub) {
        std::filesystem::create_directories(folder.path(sub));
        folder.WriteFile(sub + "/original.html", kPageText);
        folder.WriteFile(sub + "/templet.txt", kTemplateText);
        folder.WriteFile(sub + "/log.html", "<ul>\r\n<!-- ここにログ -->\r\n</ul>\r\n");
    }

    // Queues the answers for "make a set NAME whose files are in SUB".
    void ScriptNewSet(ScriptedInteraction& io, const ProgramFolder& folder, const QString& name,
                      const std::string& sub) {
        for (const char* file : {"/original.html", "/templet.txt", "/log.html"}) {
            io.fileNames.push_back(QString::fromStdString(folder.path(sub + file)));
        }
        io.dialogs.push_back([name](QDialog& manager) {
            manager.findChild<QLineEdit*>(QStringLiteral("id1030"))->setText(name);
            Click(manager, "id1029");  // creating opens the path settings at once
            Click(manager, "id1");
            return manager.result();
        });
        io.dialogs.push_back(FillPathSettings());
    }

  private slots:
    void firstDaysOfANewUser() {
        ProgramFolder folder;
        WriteDiaryFiles(folder, "web");
        WriteDiaryFiles(folder, "trip");
        const std::string page = folder.path("web/diary26-Dec.html");

        {  // First start: no settings at all.
            ScriptedInteraction io;
            ScriptNewSet(io, folder, QStringLiteral("日記"), "web");
            MainDialog window(io, folder.dir());
            WindowCommands commands(window);
            QVERIFY(window.Initialise());
            QCOMPARE(window.setList()->count(), 1);
            QCOMPARE(window.config().diaryPage, page);
            QVERIFY(std::filesystem::exists(page));
            QVERIFY(folder.ReadFile("web/log.html").find("diary26-Dec.html") != std::string::npos);

            window.titleEdit()->setText(QStringLiteral("はじめの日"));
            window.bodyEdit()->setPlainText(QStringLiteral("書けた。"));
            window.button(kIdGenerate)->click();
            QVERIFY(!window.isVisible());
            QVERIFY(folder.ReadFile("web/diary26-Dec.html").find(Sjis("はじめの日")) !=
                    std::string::npos);
        }
        {  // The next day: the set is there, a second diary is added,
           // chosen, and the first one deleted.
            ScriptedInteraction io;
            MainDialog window(io, folder.dir());
            WindowCommands commands(window);
            QVERIFY(window.Initialise());
            QVERIFY(io.dialogTitles.isEmpty());
            QCOMPARE(window.setList()->count(), 1);

            ScriptNewSet(io, folder, QStringLiteral("旅行"), "trip");
            window.button(kIdAddSet)->click();
            QCOMPARE(window.setList()->count(), 2);

            window.setList()->setFocus();
            QTest::keyClick(window.setList(), Qt::Key_Down);  // as the user chooses it
            QCOMPARE(window.config().configIniPath, folder.dir() + Sjis("旅行.ini"));
            QCOMPARE(window.config().diaryPage, folder.path("trip/diary26-Dec.html"));
            QCOMPARE(folder.ReadInt("STATE", "CURRENT"), 1);

            io.dialogs.push_back([](QDialog& manager) {
                manager.findChild<QListWidget*>(QStringLiteral("id1020"))->setCurrentRow(0);
                Click(manager, "id1031");
                Click(manager, "id1");
                return manager.result();
            });
            window.button(kIdAddSet)->click();
            QCOMPARE(window.setList()->count(), 1);
            QCOMPARE(window.setList()->itemText(0), QStringLiteral("旅行"));
            QVERIFY(!std::filesystem::exists(folder.dir() + "日記.ini"));
            // The stored number now points past the list: the first set is used.
            QCOMPARE(window.config().configIniPath, folder.dir() + Sjis("旅行.ini"));
        }
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::NewUserJourneyTest)
#include "new_user_journey_test.moc"
