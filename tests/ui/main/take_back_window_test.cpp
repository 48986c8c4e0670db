// "取り消し" in the main window: asks, takes the last entry back, and says
// what it gave back or which file stopped it.
#include <QAction>
#include <QCheckBox>

#include "main_window_fixture.h"

namespace qm::test {

namespace {

QAction* TakeBack(Opened& w) { return w->findChild<QAction*>(QStringLiteral("takeBackAction")); }

}  // namespace

class TakeBackWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The entry beside the About entry takes the second of two entries back.
    void TakesTheLastEntryBackOnceAndSaysWhat() {
        OneSet folder;
        Opened(folder).Generate(QStringLiteral("一"));
        const std::string afterFirst = folder.ReadFile("page.html");
        Opened(folder).Generate(QStringLiteral("二"));
        QVERIFY(folder.ReadFile("page.html") != afterFirst);

        Opened w(folder);
        const QList<QAction*> menu = w->actions();
        const auto about = menu.indexOf(w->aboutAction());
        QVERIFY(about >= 0 && about + 1 < menu.size() && menu[about + 1] == TakeBack(w));
        w.io.answers = {Answer::No};
        TakeBack(w)->trigger();
        QVERIFY(folder.ReadFile("page.html") != afterFirst);

        w->uploadCheckBox()->setChecked(true);  // the upload tool gets the restored page
        w.io.answers = {Answer::Yes};
        TakeBack(w)->trigger();
        QCOMPARE(folder.ReadFile("page.html"), afterFirst);
        QVERIFY(w.starts ==
                std::vector{Start("tavmo/tavmo.exe", "\"" + folder.path("page.html") + "\"")});
        QCOMPARE(w.io.messages.size(), std::size_t{3});
        QCOMPARE(
            w.io.messages[2].text,
            QStringLiteral("最後に書いた日記を取り消しました。\n\n書く前に戻したファイル：\n") +
                QString::fromStdString(folder.path("page.html")));
        QVERIFY(w->isVisible());  // the window goes on

        w.io.answers = {Answer::Yes};
        TakeBack(w)->trigger();
        QCOMPARE(w.io.messages.back().text, QStringLiteral("取り消せる日記がありません。"));
        QCOMPARE(folder.ReadFile("page.html"), afterFirst);
    }

    void APageEditedSinceIsNamedAndNothingChanges() {
        OneSet folder;
        Opened(folder).Generate(QStringLiteral("一"));
        const std::string edited = folder.ReadFile("page.html") + "<p>by hand</p>";
        WriteBytes(folder.path("page.html"), edited);

        Opened w(folder);
        w.io.answers = {Answer::Yes};
        TakeBack(w)->trigger();
        QCOMPARE(w.io.messages.back().text,
                 QString::fromStdString(folder.path("page.html")) +
                     QStringLiteral("\nこのファイルは日記を書いた後に変更されているので、"
                                    "取り消しませんでした。どのファイルも変更していません。"));
        QCOMPARE(w.io.messages.back().caption, QStringLiteral("取り消せないよ"));
        QCOMPARE(folder.ReadFile("page.html"), edited);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::TakeBackWindowTest)
#include "take_back_window_test.moc"
