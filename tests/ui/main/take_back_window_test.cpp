// "取り消し" in the main window: asks, takes the last entry back, and says
// what it gave back or which file stopped it.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "main_window_fixture.h"
#include "ui/main/window_commands.h"

namespace qm::test {

namespace {

using Answer = Interaction::Answer;
using Start = std::pair<std::string, std::string>;

struct Window {
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> dialog;
    std::unique_ptr<WindowCommands> commands;
    std::vector<Start> starts;

    explicit Window(const ProgramFolder& folder) {
        dialog = std::make_unique<MainDialog>(io, folder.dir());
        commands = std::make_unique<WindowCommands>(*dialog);
        dialog->host().programStarter = [this](std::string_view program, std::string_view args) {
            starts.emplace_back(program, args);
            return StartResult::Started;
        };
        if (!dialog->Initialise()) {
            dialog.reset();
            return;
        }
        dialog->show();
    }
    MainDialog* operator->() { return dialog.get(); }

    void Generate(const QString& title) {
        dialog->titleEdit()->setText(title);
        dialog->bodyEdit()->setPlainText(QStringLiteral("本文"));
        dialog->button(kIdGenerate)->click();
    }
    QAction* TakeBackAction() {
        return dialog->findChild<QAction*>(QStringLiteral("takeBackAction"));
    }
};

}  // namespace

class TakeBackWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The entry beside the About entry takes the second of two entries back.
    void TakesTheLastEntryBackOnceAndSaysWhat() {
        ProgramFolder folder;
        folder.WriteOneSet();
        Window(folder).Generate(QStringLiteral("一"));
        const std::string afterFirst = folder.ReadFile("page.html");
        Window(folder).Generate(QStringLiteral("二"));
        QVERIFY(folder.ReadFile("page.html") != afterFirst);

        Window w(folder);
        const QList<QAction*> menu = w->actions();
        const auto about = menu.indexOf(w->aboutAction());
        QVERIFY(about >= 0 && about + 1 < menu.size() && menu[about + 1] == w.TakeBackAction());
        QCOMPARE(w.TakeBackAction()->text(), QStringLiteral("取り消し"));

        w.io.answers = {Answer::No};
        w.TakeBackAction()->trigger();
        QVERIFY(folder.ReadFile("page.html") != afterFirst);

        w.io.answers = {Answer::Yes};
        w.TakeBackAction()->trigger();
        QCOMPARE(folder.ReadFile("page.html"), afterFirst);
        QCOMPARE(w.io.messages.size(), std::size_t{3});
        QCOMPARE(
            w.io.messages[2].text,
            QStringLiteral("最後に書いた日記を取り消しました。\n\n書く前に戻したファイル：\n") +
                QString::fromStdString(folder.path("page.html")));
        QCOMPARE(w.io.messages[2].caption, QStringLiteral("取り消し"));
        QVERIFY(w->isVisible());    // the window goes on
        QVERIFY(w.starts.empty());  // the upload box is not ticked

        w.io.answers = {Answer::Yes};
        w.TakeBackAction()->trigger();
        QCOMPARE(w.io.messages.back().text, QStringLiteral("取り消せる日記がありません。"));
        QCOMPARE(folder.ReadFile("page.html"), afterFirst);
    }

    void APageEditedSinceIsNamedAndNothingChanges() {
        ProgramFolder folder;
        folder.WriteOneSet();
        Window(folder).Generate(QStringLiteral("一"));
        const std::string edited = folder.ReadFile("page.html") + "<p>by hand</p>";
        WriteBytes(folder.path("page.html"), edited);

        Window w(folder);
        w.io.answers = {Answer::Yes};
        w.TakeBackAction()->trigger();
        QCOMPARE(w.io.messages.back().text,
                 QString::fromStdString(folder.path("page.html")) +
                     QStringLiteral("\nこのファイルは日記を書いた後に変更されているので、"
                                    "取り消しませんでした。どのファイルも変更していません。"));
        QCOMPARE(w.io.messages.back().caption, QStringLiteral("取り消せないよ"));
        QCOMPARE(folder.ReadFile("page.html"), edited);
    }

    // With the upload box ticked the upload tool gets the restored page.
    void TheUploadToolGetsTheRestoredFiles() {
        ProgramFolder folder;
        folder.WriteOneSet();
        Window(folder).Generate(QStringLiteral("一"));
        Window w(folder);
        w->uploadCheckBox()->setChecked(true);
        w.io.answers = {Answer::Yes};
        w.TakeBackAction()->trigger();
        QCOMPARE(folder.ReadFile("page.html"), Sjis(kPageText));
        QCOMPARE(w.starts.size(), std::size_t{1});
        QCOMPARE(w.starts[0].first, std::string("tavmo/tavmo.exe"));
        QCOMPARE(w.starts[0].second, "\"" + folder.path("page.html") + "\"");
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::TakeBackWindowTest)
#include "take_back_window_test.moc"
