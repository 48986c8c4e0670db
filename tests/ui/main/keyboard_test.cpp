// The keyboard alone: Ctrl+Enter for "Do It !!!", Enter or Space on a tag,
// and Tab through every window in reading order, reaching every button.
#include <QComboBox>
#include <QListWidget>

#include "main_window_fixture.h"
#include "ui/support/keyboard_walk.h"

namespace qm::test {

namespace {

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
            OneSet folder;
            Opened w(folder);
            QPlainTextEdit* body = w->bodyEdit();
            body->setFocus();
            QTest::keyClicks(body, QStringLiteral("one"));
            QTest::keyClick(body, Qt::Key_Return);  // a plain Enter is a new line
            QTest::keyClicks(body, QStringLiteral("two"));
            QVERIFY(w->isVisible());
            QTest::keyClick(body, modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return,
                            modifiers);
            QVERIFY(folder.PageHas("page.html", "<p>one<BR>\r\ntwo</p>"));
            QVERIFY(!w->isVisible() && w->result() == QDialog::Accepted);
        }
    }

    void EnterOrSpaceOnATagWrapsTheSelectionAndKeepsTheFocus() {
        OneSet folder;
        Opened w(folder);
        w->bodyEdit()->setPlainText(QStringLiteral("今日"));
        w->bodyEdit()->selectAll();
        QListWidget* tags = w->tagList();
        tags->setFocus();
        tags->setCurrentRow(0);
        const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {Qt::Key_Return, {}}, {Qt::Key_Space, {}}, {Qt::Key_Enter, Qt::KeypadModifier}};
        QString expected = QStringLiteral("今日");
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(tags, key, modifiers);
            expected.prepend(QStringLiteral("<HR>"));
            QCOMPARE(w->bodyEdit()->toPlainText(), expected);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tags));
        }
        QVERIFY(w->isVisible());
    }

    void TheMainWindowTabsAsItReads() {
        OneSet folder;
        Opened window(folder);
        MainDialog& w = *window;
        QList<QWidget*> expected;
        for (int id : {kIdTitle, kIdBrowseImage, kIdBody, kIdManual, kIdEditTags, kIdAnchorBuilder,
                       kIdImageBuilder, kIdFontBuilder, kIdTagList, kIdUpload, kIdSetList,
                       kIdAddSet, kIdEditPage, kIdFtpSettings, kIdPathSettings, kIdEditTemplate,
                       kIdPreview, kIdGenerate}) {
            expected << w.control(id);
        }
        const QList<QWidget*> walk = TabWalk(w, w.titleEdit());
        QCOMPARE(Describe(walk), Describe(expected));
        QVERIFY2(ButtonsNotVisited(w, walk).isEmpty(),
                 qPrintable(Describe(ButtonsNotVisited(w, walk))));
        // The alt text box joins the walk once an image has been chosen.
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
        OneSet folder;
        Opened w(folder);
        SetManagerMemory memory;
        TempDir empty;
        ActiveConfig firstStart;
        QStringList problems;
        for (const auto& [name, make] : AllDialogs(*w, w.io, memory, firstStart, empty.dir())) {
            const std::unique_ptr<QWidget> dialog = make();
            dialog->show();
            QWidget* first = FirstInReadingOrder(*dialog);
            const QList<QWidget*> walk = first ? TabWalk(*dialog, first) : QList<QWidget*>();
            const QString where = QString::fromUtf8(name) + ": " + Describe(walk);
            if (walk.isEmpty()) problems << where + " (no walk)";
            if (!FirstBackwardStep(walk).isEmpty())
                problems << where + "\n  " + FirstBackwardStep(walk);
            if (!ButtonsNotVisited(*dialog, walk).isEmpty())
                problems << where + "\n  missed: " + Describe(ButtonsNotVisited(*dialog, walk));
            dialog->close();
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::KeyboardTest)
#include "keyboard_test.moc"
