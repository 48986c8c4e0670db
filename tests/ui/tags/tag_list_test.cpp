// The main window's tag list and the wrapping of the body's selection that
// every tag builder uses.
#include "ui/tags/tag_list.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include "settings/numbered_list.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

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

class TagListTest : public QObject {
    Q_OBJECT
  private slots:
    void WrappingASelectionKeepsTheRestAndSelectsTheResult() {
        QPlainTextEdit body;
        body.setPlainText(QStringLiteral("前の文、真ん中、後の文"));
        Select(body, 4, 7);

        WrapBodySelection(body, QStringLiteral("<b>"), QStringLiteral("</b>"));

        QCOMPARE(body.toPlainText(), QStringLiteral("前の文、<b>真ん中</b>、後の文"));
        QCOMPARE(body.textCursor().selectionStart(), 4);
        QCOMPARE(body.textCursor().selectionEnd(), 4 + 10);
        QCOMPARE(body.textCursor().selectedText(), QStringLiteral("<b>真ん中</b>"));
        QVERIFY(!body.document()->isUndoAvailable());
    }

    void WrappingACaretInsertsAndSelectsTheTags() {
        QPlainTextEdit body;
        body.setPlainText(QStringLiteral("ab"));
        Select(body, 1, 1);

        WrapBodySelection(body, QStringLiteral("<HR>"), QString());

        QCOMPARE(body.toPlainText(), QStringLiteral("a<HR>b"));
        QCOMPARE(body.textCursor().selectedText(), QStringLiteral("<HR>"));
    }

    void ASelectionOverLinesAndWideCharactersKeepsItsBreaks() {
        QPlainTextEdit body;
        body.setPlainText(QStringLiteral("😀一\n二\n三"));
        // From after the emoji (two positions) to the start of the third line.
        Select(body, 2, 6);

        WrapBodySelection(body, QStringLiteral("<i>"), QStringLiteral("\r\n</i>"));

        QCOMPARE(body.toPlainText(), QStringLiteral("😀<i>一\n二\n\n</i>三"));
        QCOMPARE(body.textCursor().selectionStart(), 2);
        // The close text's CR LF is one line break, one position.
        QCOMPARE(body.textCursor().selectionEnd(), 2 + 3 + 4 + 5);
    }

    void ALongBodyIsWrappedWhole() {
        QPlainTextEdit body;
        const QString longText(12000, QChar(0x3042));  // 24,000 bytes as Shift-JIS
        body.setPlainText(longText + QStringLiteral("end"));
        Select(body, 0, 12000);

        WrapBodySelection(body, QStringLiteral("<p>"), QStringLiteral("</p>"));

        QCOMPARE(body.toPlainText(), "<p>" + longText + "</p>end");
        QCOMPARE(body.textCursor().selectionEnd(), 12000 + 7);
    }

    void AnEmptyTagListIsSeededWithTheRule() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->tagList()->count(), 1);
        QCOMPARE(window->tagList()->item(0)->text(), QStringLiteral("<HR>"));
        QCOMPARE(folder.ReadText("TAG", "0"), std::string("<HR>"));
        QCOMPARE(folder.ReadText("TAG_PREFIX", "0"), std::string("<HR>"));
        QCOMPARE(folder.ReadText("TAG_SUFFIX", "0"), std::string());
    }

    void TheListCountsKeysNotNumbers() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni(
            "[INI]\n0=a\n[TAG]\n0=太字\n2=lost\n[TAG_PREFIX]\n0=<b>\n[TAG_SUFFIX]\n0=</b>\n");
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->tagList()->count(), 2);
        QCOMPARE(window->tagList()->item(0)->text(), QStringLiteral("太字"));
        QCOMPARE(window->tagList()->item(1)->text(), QString());
        QCOMPARE(window->tagList()->item(1)->data(Qt::UserRole).toInt(), 1);
    }

    void DoubleClickingATagWrapsTheBodySelection() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni(
            "[INI]\n0=a\n[TAG]\n0=<HR>\n1=太字\n[TAG_PREFIX]\n0=<HR>\n1=<b>\n[TAG_SUFFIX]\n0=\n"
            "1=</b>\n");
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->bodyEdit()->setPlainText(QStringLiteral("今日は十分"));
        Select(*window->bodyEdit(), 3, 5);

        DoubleClickItem(*window->tagList(), 1);

        QCOMPARE(window->bodyEdit()->toPlainText(), QStringLiteral("今日は<b>十分</b>"));
        QCOMPARE(window->bodyEdit()->textCursor().selectedText(), QStringLiteral("<b>十分</b>"));

        // The prefix is read afresh at every double click.
        folder.WriteSystemIni(
            "[INI]\n0=a\n[TAG]\n0=<HR>\n1=太字\n[TAG_PREFIX]\n0=<HR class=\"x\">\n1=<b>\n"
            "[TAG_SUFFIX]\n0=\n1=</b>\n");
        Select(*window->bodyEdit(), 0, 0);
        DoubleClickItem(*window->tagList(), 0);
        QVERIFY(
            window->bodyEdit()->toPlainText().startsWith(QStringLiteral("<HR class=\"x\">今日")));
    }
};

QTEST_MAIN(TagListTest)
#include "tag_list_test.moc"
