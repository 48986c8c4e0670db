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
using qm::test::ScriptedInteraction;

namespace {

std::string Sjis(const QString& text) { return Utf8ToCp932(text.toStdString()).value(); }

template <typename T = QLineEdit>
T* Find(QDialog& d, const char* name) {
    return d.findChild<T*>(name);
}

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
    void AnchorTexts() {
        struct Row {
            QString href, name, target, open;
        };
        for (const Row& row :
             std::vector<Row>{{"a.html", "", "", "<a href=\"a.html\">"},
                              {"", "top", "", "<a name=\"top\">"},
                              {"", "", "_blank", "<a target=\"_blank\">"},
                              {"u", "n", "t", "<a href=\"u\" name=\"n\" target=\"t\">"}}) {
            const std::optional<TagWrap> wrap = BuildAnchorTag({row.href, row.target, row.name});
            QVERIFY(wrap);
            QCOMPARE(wrap->open, row.open);
            QCOMPARE(wrap->close, QStringLiteral("</a>"));
        }
        QVERIFY(!BuildAnchorTag(AnchorTagFields{}));
    }

    void FontTexts() {
        const TagWrap none = BuildFontTag({"", "", "", false, false, false, false});
        QVERIFY(none.open.isEmpty() && none.close.isEmpty());
        const TagWrap all = BuildFontTag({"7", "snow", "x\"y", true, true, true, true});
        QCOMPARE(all.open,
                 QStringLiteral("<font size=\"7\" color=\"snow\" face=\"x\"y\"><s><u><b><i>"));
        QCOMPARE(all.close, QStringLiteral("</i></b></u></s></font>"));
    }

    void ImageTexts() {
        for (const auto& [path, tag] :
             std::vector<std::pair<QString, QString>>{{"C:\\十\\十.jpg", "<img src=\"十.jpg\">"},
                                                      {"C:\\img\\a十", "<img src=\"a十\">"},
                                                      {"C:\\img\\", "<img src=\"\">"}}) {
            ImageTagFields fields;
            fields.path = Sjis(path);
            QCOMPARE(BuildImageTag(fields).value(), tag);
        }
        const ImageTagFields all{"/p/c.gif", "x\"y", "1", "2", "3", "4", "5", false, true};
        QCOMPARE(BuildImageTag(all).value(),
                 QStringLiteral("<img src=\"c.gif\" alt=\"x\"y\" height=\"2%\" width=\"1\" "
                                "hspace=\"3\" vspace=\"4\" border=\"5\">"));
        ImageTagFields width;
        width.width = "50";
        width.widthPercent = width.heightPercent = true;
        QCOMPARE(BuildImageTag(width).value(), QStringLiteral("<img width=\"50%\">"));
        width.width.clear();
        QVERIFY(!BuildImageTag(width));
    }

    void FontFieldsAreCutAtWholeCharacters() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        // 16 double-byte characters are 32 bytes: the 16th does not fit in 31.
        Find(d, "fontFace")->setText(QString(16, QChar(0x3042)));
        d.accept();
        QCOMPARE(d.Fields().face, QString(15, QChar(0x3042)));
        // A character Shift-JIS lacks counts as its 9-byte reference.
        const QString emoji = QString::fromUtf8("😀");
        QCOMPARE(CutToCp932Bytes(QString(23, 'a') + emoji, 31), QString(23, 'a'));
        QCOMPARE(CutToCp932Bytes(QString(22, 'a') + emoji, 31), QString(22, 'a') + emoji);
    }

    void ChoosersFillColourFaceAndBold() {
        ScriptedInteraction io;
        io.colors = {QColor(0, 128, 255)};
        io.fonts = {Choice("Semi", 600, QColor(255, 0, 0)), Choice("Heavy", 700, Qt::black)};
        FontTagDialog d(io);
        QComboBox& color = *Find<QComboBox>(d, "fontColor");
        color.setEditText("blue");
        Find<QPushButton>(d, "chooseColor")->click();
        QCOMPARE(color.currentText(), QStringLiteral("#0080FF"));
        QVERIFY(io.colorChooserStarts == std::vector<QColor>{QColor(0, 0, 0)});

        // Bold starts at weight 700; black leaves the colour box alone.
        Find<QCheckBox>(d, "bold")->setChecked(true);
        Find<QPushButton>(d, "chooseFont")->click();
        QCOMPARE(Find(d, "fontFace")->text(), QStringLiteral("Semi"));
        QCOMPARE(color.currentText(), QStringLiteral("#FF0000"));
        QVERIFY(!Find<QCheckBox>(d, "bold")->isChecked());
        Find<QPushButton>(d, "chooseFont")->click();
        QCOMPARE(Find(d, "fontFace")->text(), QStringLiteral("Heavy"));
        QCOMPARE(color.currentText(), QStringLiteral("#FF0000"));
        QVERIFY(Find<QCheckBox>(d, "bold")->isChecked());
    }

    void WrappingASelectionAndACaret() {
        QPlainTextEdit body;
        body.setPlainText(QStringLiteral("😀一\n二\n三"));
        // From after the emoji (two positions) to the start of the third line.
        Select(body, 2, 6);
        WrapBodySelection(body, QStringLiteral("<i>"), QStringLiteral("\r\n</i>"));
        QCOMPARE(body.toPlainText(), QStringLiteral("😀<i>一\n二\n\n</i>三"));
        // The close text's CR LF is one line break, one position.
        QCOMPARE(body.textCursor().selectionStart(), 2);
        QCOMPARE(body.textCursor().selectionEnd(), 2 + 3 + 4 + 5);

        Select(body, 0, 0);
        WrapBodySelection(body, QStringLiteral("<a>"), QStringLiteral("</a>"));
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("<a></a>😀<i>")));
        QCOMPARE(body.textCursor().selectionStart(), 0);
        QCOMPARE(body.textCursor().selectionEnd(), 7);
    }

    void EachWrapIsOneUndoStepAndTheTypingBeforeItStays() {
        QPlainTextEdit body;
        body.show();
        body.setFocus();
        QTest::keyClicks(&body, QStringLiteral("one two"));
        Select(body, 4, 7);
        WrapBodySelection(body, QStringLiteral("<b>"), QStringLiteral("</b>"));
        Select(body, 0, 3);
        WrapBodySelection(body, QStringLiteral("<i>"), QString());
        QCOMPARE(body.toPlainText(), QStringLiteral("<i>one <b>two</b>"));

        body.undo();
        QCOMPARE(body.toPlainText(), QStringLiteral("one <b>two</b>"));
        body.undo();
        QCOMPARE(body.toPlainText(), QStringLiteral("one two"));
        // What was typed before the first wrap is still in the history.
        QVERIFY(body.document()->isUndoAvailable());
        while (body.document()->isUndoAvailable()) body.undo();
        QCOMPARE(body.toPlainText(), QString());
        body.redo();
        QVERIFY(!body.toPlainText().isEmpty());

        // Ctrl+Z in the box is the same step back.
        while (body.document()->isRedoAvailable()) body.redo();
        QTest::keyClick(&body, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(body.toPlainText(), QStringLiteral("one <b>two</b>"));
    }
};

QTEST_MAIN(TagBuildersTest)
#include "tag_builders_test.moc"
