// The keyboard alone: Ctrl+Enter for "Do It !!!", Enter or Space on a tag,
// and Tab through every window in the order the window reads, reaching every
// button.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "main_window_fixture.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_manager_dialog.h"
#include "ui/main/about_dialog.h"
#include "ui/support/keyboard_walk.h"
#include "ui/tags/anchor_tag_dialog.h"
#include "ui/tags/font_tag_dialog.h"
#include "ui/tags/image_tag_dialog.h"
#include "ui/tags/tag_list_editor_dialog.h"

namespace qm::test {

namespace {

// The window shown on one set "a" (page.html edited in place).
struct Opened {
    ProgramFolder folder;
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> window;

    Opened() {
        folder.WriteOneSet();
        window = std::make_unique<MainDialog>(io, folder.dir());
        if (!window->Initialise()) window.reset();
        if (window) {
            window->show();
            window->activateWindow();
            if (!QTest::qWaitForWindowActive(window.get())) window.reset();
        }
    }
};

// The tab-focusable control that reads first: the top row's leftmost.
QWidget* FirstInReadingOrder(QWidget& window) {
    QWidget* first = nullptr;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()) continue;
        if (w->focusProxy() || qobject_cast<QComboBox*>(w->parentWidget())) continue;
        if (!first || !ReadsAfter(first, w)) first = w;
    }
    return first;
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void CtrlEnterPressesDoItFromTheBody() {
        for (const auto modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                     Qt::ControlModifier | Qt::KeypadModifier}) {
            Opened o;
            QVERIFY(o.window);
            QPlainTextEdit* body = o.window->bodyEdit();
            body->setFocus();
            QTest::keyClicks(body, QStringLiteral("one"));
            QTest::keyClick(body, Qt::Key_Return);  // a plain Enter is a new line
            QTest::keyClicks(body, QStringLiteral("two"));
            QVERIFY(o.window->isVisible());

            const Qt::Key key = modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return;
            QTest::keyClick(body, key, modifiers);

            const std::string page = o.folder.ReadFile("page.html");
            QVERIFY2(page.find("<p>one<BR>\r\ntwo</p>") != std::string::npos, page.c_str());
            QVERIFY(!o.window->isVisible());
            QCOMPARE(o.window->result(), int(QDialog::Accepted));
        }
    }

    void EnterOrSpaceOnATagWrapsTheSelectionAndKeepsTheFocus() {
        Opened o;
        QVERIFY(o.window);
        QPlainTextEdit* body = o.window->bodyEdit();
        body->setPlainText(QStringLiteral("今日"));
        body->selectAll();
        QListWidget* tags = o.window->tagList();
        tags->setFocus();
        tags->setCurrentRow(0);

        QTest::keyClick(tags, Qt::Key_Return);
        QCOMPARE(body->toPlainText(), QStringLiteral("<HR>今日"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tags));
        QTest::keyClick(tags, Qt::Key_Space);
        QCOMPARE(body->toPlainText(), QStringLiteral("<HR><HR>今日"));
        QTest::keyClick(tags, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(body->toPlainText(), QStringLiteral("<HR><HR><HR>今日"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tags));
        QVERIFY(o.window->isVisible());
    }

    void TheMainWindowTabsAsItReads() {
        Opened o;
        QVERIFY(o.window);
        MainDialog& w = *o.window;
        const QList<QWidget*> walk = TabWalk(w, w.titleEdit());
        QList<QWidget*> expected;
        for (int id : {kIdTitle, kIdBrowseImage, kIdBody, kIdManual, kIdEditTags, kIdAnchorBuilder,
                       kIdImageBuilder, kIdFontBuilder, kIdTagList, kIdUpload, kIdSetList,
                       kIdAddSet, kIdEditPage, kIdFtpSettings, kIdPathSettings, kIdEditTemplate,
                       kIdPreview, kIdGenerate}) {
            expected << w.control(id);
        }
        // The alt text box joins the walk once an image has been chosen.
        QCOMPARE(Describe(walk), Describe(expected));
        QVERIFY2(ButtonsNotVisited(w, walk).isEmpty(),
                 qPrintable(Describe(ButtonsNotVisited(w, walk))));
        w.altTextEdit()->setEnabled(true);
        expected.insert(2, w.altTextEdit());
        QCOMPARE(Describe(TabWalk(w, w.titleEdit())), Describe(expected));

        // A flat button shows where the focus is by taking its frame meanwhile.
        QPushButton* manual = w.button(kIdManual);
        w.bodyEdit()->setFocus();
        QTest::keyClick(w.bodyEdit(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(manual));
        QVERIFY(!manual->isFlat());
        QTest::keyClick(manual, Qt::Key_Tab);
        QVERIFY(manual->isFlat());
    }

    void EveryDialogTabsAsItReadsAndReachesEveryButton() {
        Opened o;
        QVERIFY(o.window);
        MainDialog& w = *o.window;
        SetManagerMemory memory;
        TempDir emptyFolder;
        ActiveConfig firstStart;
        const std::vector<std::pair<const char*, std::function<std::unique_ptr<QDialog>()>>>
            dialogs = {
                {"anchor", [&] { return std::make_unique<AnchorTagDialog>(&w); }},
                {"font", [&] { return std::make_unique<FontTagDialog>(o.io, &w); }},
                {"image", [&] { return std::make_unique<ImageTagDialog>(o.io, &w); }},
                {"tag list",
                 [&] { return std::make_unique<TagListEditorDialog>(w.config(), o.io, &w); }},
                {"paths",
                 [&] { return std::make_unique<PathSettingsDialog>(w.config(), o.io, &w); }},
                {"current name",
                 [&] { return std::make_unique<CurrentNameDialog>(w.config(), &w); }},
                {"log format",
                 [&] { return std::make_unique<LogFormatDialog>(w.config(), o.io, &w); }},
                {"set manager",
                 [&] {
                     return std::make_unique<SetManagerDialog>(w.config(), memory, o.io, w.host(),
                                                               &w);
                 }},
                {"set manager, first set",
                 [&] {
                     InitConfig(firstStart, emptyFolder.dir());
                     return std::make_unique<SetManagerDialog>(firstStart, memory, o.io, w.host(),
                                                               &w);
                 }},
                {"about", [&] { return std::make_unique<AboutDialog>(&w); }},
            };
        QStringList problems;
        for (const auto& [name, make] : dialogs) {
            const std::unique_ptr<QDialog> dialog = make();
            dialog->show();
            QWidget* first = FirstInReadingOrder(*dialog);
            const QList<QWidget*> walk = first ? TabWalk(*dialog, first) : QList<QWidget*>();
            const QString where = QString::fromUtf8(name) + ": " + Describe(walk);
            if (walk.isEmpty()) problems << where + " (no walk)";
            if (!FirstBackwardStep(walk).isEmpty())
                problems << where + "\n  " + FirstBackwardStep(walk);
            if (!ButtonsNotVisited(*dialog, walk).isEmpty()) {
                problems << where + "\n  missed: " + Describe(ButtonsNotVisited(*dialog, walk));
            }
            dialog->reject();
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::KeyboardTest)
#include "keyboard_test.moc"
