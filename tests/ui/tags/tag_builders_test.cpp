// The tag builders: the texts built from their fields, the font dialog's
// choosers and byte cuts, and how a built tag wraps the body.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/encoding.h"
#include "ui/support/scripted_interaction.h"
#include "ui/tags/anchor_tag_dialog.h"
#include "ui/tags/font_tag_dialog.h"
#include "ui/tags/image_tag_dialog.h"
#include "ui/tags/tag_list.h"

using namespace qm;

namespace {

Interaction::FontChoice Choice(const QString& family, int weight, QColor color) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return {font, color};
}

void Select(QPlainTextEdit& body, int from, int to) {
    QTextCursor cursor = body.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    body.setTextCursor(cursor);
}

}  // namespace

class TagBuildersTest : public QObject {
    Q_OBJECT
  private slots:
    // Empty fields are left out, a path gives its file name only, and a tag
    // with nothing to say is not built.
    void TagTexts() {
        const auto anchor = BuildAnchorTag({"u", "", "n"});
        QVERIFY(anchor && anchor->open == "<a href=\"u\" name=\"n\">" && anchor->close == "</a>");
        QVERIFY(!BuildAnchorTag(AnchorTagFields{}));
        const TagWrap font = BuildFontTag({"7", "", "x\"y", true, false, true, false});
        QCOMPARE(font.open, QStringLiteral("<font size=\"7\" face=\"x\"y\"><s><b>"));
        QCOMPARE(font.close, QStringLiteral("</b></s></font>"));
        QVERIFY(BuildFontTag({"", "", "", false, false, false, false}).open.isEmpty());
        ImageTagFields image{"/p/c.gif", "x\"y", "1", "2", "", "", "5", false, true};
        QCOMPARE(BuildImageTag(image).value(),
                 QStringLiteral("<img src=\"c.gif\" alt=\"x\"y\" height=\"2%\" width=\"1\" "
                                "border=\"5\">"));
        image = {};
        image.path = Utf8ToCp932("C:\\十\\十.jpg").value();
        QCOMPARE(BuildImageTag(image).value(), QStringLiteral("<img src=\"十.jpg\">"));
        image = {};
        image.widthPercent = image.heightPercent = true;
        QVERIFY(!BuildImageTag(image));
    }

    // 31 Shift-JIS bytes at most, cut at a whole character; one Shift-JIS
    // lacks counts as its 9-byte reference.
    void FontFieldsAreCutAtWholeCharacters() {
        qm::test::ScriptedInteraction io;
        FontTagDialog d(io);
        d.findChild<QLineEdit*>("fontFace")->setText(QString(16, QChar(0x3042)));
        d.accept();
        QCOMPARE(d.Fields().face, QString(15, QChar(0x3042)));
        const QString emoji = QString::fromUtf8("😀");
        QCOMPARE(CutToCp932Bytes(QString(23, 'a') + emoji, 31), QString(23, 'a'));
        QCOMPARE(CutToCp932Bytes(QString(22, 'a') + emoji, 31), QString(22, 'a') + emoji);
    }

    // Bold starts at weight 700; black leaves the colour box alone.
    void ChoosersFillColourFaceAndBold() {
        qm::test::ScriptedInteraction io;
        io.colors = {QColor(0, 128, 255)};
        io.fonts = {Choice("Semi", 600, QColor(255, 0, 0)), Choice("Heavy", 700, Qt::black)};
        FontTagDialog d(io);
        QComboBox& color = *d.findChild<QComboBox*>("fontColor");
        QCheckBox& bold = *d.findChild<QCheckBox*>("bold");
        d.findChild<QPushButton*>("chooseColor")->click();
        QCOMPARE(color.currentText(), QStringLiteral("#0080FF"));
        bold.setChecked(true);
        for (const auto& [face, isBold] : {std::pair("Semi", false), std::pair("Heavy", true)}) {
            d.findChild<QPushButton*>("chooseFont")->click();
            QCOMPARE(d.findChild<QLineEdit*>("fontFace")->text(), QString(face));
            QCOMPARE(color.currentText(), QStringLiteral("#FF0000"));
            QCOMPARE(bold.isChecked(), isBold);
        }
    }

    // The selection stays on the wrapped text; a close text's CR LF is one
    // position; each wrap is one undo step, and the typing before it stays.
    void WrappingIsOneUndoStepAndKeepsTheSelection() {
        QPlainTextEdit body;
        body.show();
        body.setFocus();
        QTest::keyClicks(&body, QStringLiteral("one two"));
        body.appendPlainText(QString::fromUtf8("😀一\n二\n三"));
        Select(body, 10, 14);  // from after the emoji to the start of the last line
        WrapBodySelection(body, QStringLiteral("<i>"), QStringLiteral("\r\n</i>"));
        QCOMPARE(body.toPlainText(), QString::fromUtf8("one two\n😀<i>一\n二\n\n</i>三"));
        QCOMPARE(body.textCursor().selectionStart(), 10);
        QCOMPARE(body.textCursor().selectionEnd(), 10 + 3 + 4 + 5);
        Select(body, 4, 7);
        WrapBodySelection(body, QStringLiteral("<b>"), QStringLiteral("</b>"));
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("one <b>two</b>\n")));
        QTest::keyClick(&body, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("one two\n")));
        body.undo();
        QCOMPARE(body.toPlainText(), QString::fromUtf8("one two\n😀一\n二\n三"));
        while (body.document()->isUndoAvailable()) body.undo();
        QCOMPARE(body.toPlainText(), QString());
    }
};

QTEST_MAIN(TagBuildersTest)
#include "tag_builders_test.moc"
