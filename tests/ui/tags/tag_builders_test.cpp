// The three tag builders: the texts built from their fields, the font
// dialog's choosers and byte cuts, the image path and upload list, and what
// reaches the body after OK or cancel.
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

// 十 is 0x8F 0x5C in code page 932: its second byte looks like '\'.
const std::string kJuu = "\x8F\x5C";

std::string Sjis(const QString& text) { return Utf8ToCp932(text.toStdString()).value(); }

template <typename T = QLineEdit>
T* Find(QDialog& d, const char* name) {
    return d.findChild<T*>(name);
}
void Click(QDialog& d, const char* name) { Find<QPushButton>(d, name)->click(); }

// One run of a dialog: `fill` sets its fields, then `button` is pressed.
std::function<int(QDialog&)> Run(std::function<void(QDialog&)> fill, const char* button = "ok") {
    return [fill, button](QDialog& d) {
        if (fill) fill(d);
        Click(d, button);
        return d.result();
    };
}

Interaction::FontChoice Choice(const QString& family, int weight, bool strikeOut = false,
                               QColor color = QColor(0, 0, 0)) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(weight == 400);
    font.setStrikeOut(strikeOut);
    font.setUnderline(weight == 700);
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
                              {" ", "", "", "<a href=\" \">"},
                              {"u", "n", "t", "<a href=\"u\" name=\"n\" target=\"t\">"}}) {
            const std::optional<TagWrap> wrap = BuildAnchorTag({row.href, row.target, row.name});
            QVERIFY(wrap);
            QCOMPARE(wrap->open, row.open);
            QCOMPARE(wrap->close, QStringLiteral("</a>"));
        }
        QVERIFY(!BuildAnchorTag(AnchorTagFields{}));
    }

    void FontTexts() {
        struct Row {
            QString size, color, face;
            int styles;  // 1 bold, 2 italic, 4 strike-out, 8 underline
            QString open, close;
        };
        for (const Row& row :
             std::vector<Row>{{"", "", "", 0, "", ""},
                              {"", "", "", 1, "<b>", "</b>"},
                              {"", "", "", 2, "<i>", "</i>"},
                              {"", "", "", 4, "<s>", "</s>"},
                              {"", "", "", 8, "<u>", "</u>"},
                              {"", "", "", 15, "<s><u><b><i>", "</i></b></u></s>"},
                              {"-2", "", "", 0, "<font size=\"-2\">", "</font>"},
                              {"", "#0080FF", "", 0, "<font color=\"#0080FF\">", "</font>"},
                              {"", "", "ＭＳ 明朝", 0, "<font face=\"ＭＳ 明朝\">", "</font>"},
                              {"7", "snow", "x\"y", 15,
                               "<font size=\"7\" color=\"snow\" face=\"x\"y\"><s><u><b><i>",
                               "</i></b></u></s></font>"}}) {
            const TagWrap wrap =
                BuildFontTag({row.size, row.color, row.face, bool(row.styles & 1),
                              bool(row.styles & 2), bool(row.styles & 4), bool(row.styles & 8)});
            QCOMPARE(wrap.open, row.open);
            QCOMPARE(wrap.close, row.close);
        }
    }

    void ImageTexts() {
        struct Row {
            QString path, alt, width, height, hspace, vspace, border;
            bool widthPercent, heightPercent;
            QString tag;
        };
        for (const Row& row : std::vector<Row>{
                 {"C:\\img\\a.jpg", "", "", "", "", "", "", false, false, "<img src=\"a.jpg\">"},
                 {"C:\\十\\十.jpg", "", "", "", "", "", "", false, false, "<img src=\"十.jpg\">"},
                 {"C:\\img\\a十", "", "", "", "", "", "", false, false, "<img src=\"a十\">"},
                 {"C:\\img\\", "", "", "", "", "", "", false, false, "<img src=\"\">"},
                 {"C:e.jpg", "", "", "", "", "", "", false, false, "<img src=\"e.jpg\">"},
                 {"", "写真", "", "", "", "", "", false, false, "<img alt=\"写真\">"},
                 {"", "", "50", "", "", "", "", true, false, "<img width=\"50%\">"},
                 {"", "", "", "120", "", "", "", false, false, "<img height=\"120\">"},
                 {"", "", "", "", "3", "", "", false, false, "<img hspace=\"3\">"},
                 {"", "", "", "", "", "4", "", false, false, "<img vspace=\"4\">"},
                 {"", "", "", "", "", "", "0", false, false, "<img border=\"0\">"},
                 {"", "a", "", "", "", "", "", true, true, "<img alt=\"a\">"},
                 {"/p/c.gif", "x\"y", "1", "2", "3", "4", "5", false, true,
                  "<img src=\"c.gif\" alt=\"x\"y\" height=\"2%\" width=\"1\" hspace=\"3\" "
                  "vspace=\"4\" border=\"5\">"}}) {
            const ImageTagFields fields{Sjis(row.path), row.alt,          row.width,
                                        row.height,     row.hspace,       row.vspace,
                                        row.border,     row.widthPercent, row.heightPercent};
            QCOMPARE(BuildImageTag(fields).value(), row.tag);
        }
        ImageTagFields none;
        none.widthPercent = none.heightPercent = true;
        QVERIFY(!BuildImageTag(none));
    }

    void FontFieldsAreCutAtWholeCharacters() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        Find<QComboBox>(d, "fontSize")->setEditText("1234567890");
        Find<QComboBox>(d, "fontColor")->setEditText(QString(40, 'c'));
        // 16 double-byte characters are 32 bytes: the 16th does not fit in 31.
        Find(d, "fontFace")->setText(QString(16, QChar(0x3042)));
        d.accept();
        QCOMPARE(d.Fields().size, QStringLiteral("1234567"));
        QCOMPARE(d.Fields().color, QString(31, 'c'));
        QCOMPARE(d.Fields().face, QString(15, QChar(0x3042)));
        // A character Shift-JIS lacks counts as its 9-byte reference.
        const QString emoji = QString::fromUtf8("😀");
        QCOMPARE(CutToCp932Bytes(QString(23, 'a') + emoji, 31), QString(23, 'a'));
        QCOMPARE(CutToCp932Bytes(QString(22, 'a') + emoji, 31), QString(22, 'a') + emoji);
    }

    void ColourChooserStartsAtBlackAndWritesHexText() {
        ScriptedInteraction io;
        io.colors = {QColor(0, 128, 255), std::nullopt, QColor(10, 11, 171)};
        FontTagDialog d(io);
        QComboBox& color = *Find<QComboBox>(d, "fontColor");
        color.setEditText("blue");
        for (const char* shown : {"#0080FF", "#0080FF", "#0A0BAB"}) {
            Click(d, "chooseColor");
            QCOMPARE(color.currentText(), QString(shown));
        }
        QVERIFY(io.colorChooserStarts == std::vector<QColor>(3, QColor(0, 0, 0)));
        QCOMPARE(color.count(), 33);
    }

    void FontChooserFillsFaceStylesAndColour() {
        ScriptedInteraction io;
        io.fonts = {Choice("Semi", 600, true, QColor(255, 0, 0)), Choice("Heavy", 700),
                    Choice("Plain", 400), std::nullopt, Choice(QString(40, 'f'), 400)};
        FontTagDialog d(io);
        QComboBox& color = *Find<QComboBox>(d, "fontColor");
        color.setEditText("plum");
        Find<QCheckBox>(d, "bold")->setChecked(true);
        struct Shown {
            QString face, color;
            bool bold, italic, strikeOut, underline;
        };
        // Bold starts at weight 700; black leaves the colour box alone; a
        // cancelled chooser changes nothing; a long face is cut to 31 bytes.
        for (const Shown& want :
             std::vector<Shown>{{"Semi", "#FF0000", false, false, true, false},
                                {"Heavy", "#FF0000", true, false, false, true},
                                {"Plain", "#FF0000", false, true, false, false},
                                {"Plain", "#FF0000", false, true, false, false},
                                {QString(31, 'f'), "#FF0000", false, true, false, false}}) {
            Click(d, "chooseFont");
            QCOMPARE(Find(d, "fontFace")->text(), want.face);
            QCOMPARE(color.currentText(), want.color);
            QCOMPARE(Find<QCheckBox>(d, "bold")->isChecked(), want.bold);
            QCOMPARE(Find<QCheckBox>(d, "italic")->isChecked(), want.italic);
            QCOMPARE(Find<QCheckBox>(d, "strikeOut")->isChecked(), want.strikeOut);
            QCOMPARE(Find<QCheckBox>(d, "underline")->isChecked(), want.underline);
        }
    }

    void ImagePathShiftJisCannotSpellIsRefused() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        Find(d, "path")->setText(QString::fromUtf8("/home/u/😀.png"));
        d.accept();
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].caption, QStringLiteral("IMGタブ精製機"));
    }

    void ImagesJoinTheUploadListInOrder() {
        auto typePath = [](const QString& path) {
            return Run([path](QDialog& d) { Find(d, "path")->setText(path); });
        };
        ScriptedInteraction io;
        io.fileNames = {QStringLiteral("/home/u/写真/b.png")};
        io.dialogs = {typePath(QStringLiteral("C:\\img\\a.jpg")),
                      typePath(QStringLiteral("C:\\十\\十.png")),
                      Run([](QDialog& d) { Click(d, "browse"); }),
                      typePath(QStringLiteral("/home/u/")),
                      Run([](QDialog& d) { Find(d, "alt")->setText("説明"); }),
                      Run([](QDialog& d) { Find<QCheckBox>(d, "widthPercent")->setChecked(true); }),
                      Run([](QDialog& d) { Find(d, "path")->setText("C:\\c.jpg"); }, "cancel")};
        std::string list;
        std::string expected;
        struct Step {
            std::optional<QString> open;
            std::string joined;  // what joins the list, empty for nothing
        };
        for (const Step& step :
             std::vector<Step>{{"<img src=\"a.jpg\">", "C:\\img\\a.jpg"},
                               {"<img src=\"十.png\">", "C:\\" + kJuu + "\\" + kJuu + ".png"},
                               {"<img src=\"b.png\">", Sjis(QStringLiteral("/home/u/写真/b.png"))},
                               {"<img src=\"\">", "/home/u/"},
                               {"<img alt=\"説明\">", ""},
                               {std::nullopt, ""},
                               {std::nullopt, ""}}) {
            const std::optional<TagWrap> wrap = RunImageTagDialog(nullptr, io, list);
            QCOMPARE(wrap.has_value(), step.open.has_value());
            if (wrap) QCOMPARE(wrap->open, *step.open);
            if (wrap) QVERIFY(wrap->close.isEmpty());
            if (!step.joined.empty()) expected += (expected.empty() ? "" : "\" \"") + step.joined;
            QCOMPARE(list, expected);
        }
        QCOMPARE(io.dialogTitles.size(), 7);
    }

    void TheBodyAfterOkAndCancel() {
        auto fontFaceBold = Run([](QDialog& d) {
            Find(d, "fontFace")->setText("IPAGothic");
            Find<QCheckBox>(d, "bold")->setChecked(true);
        });
        auto href = Run([](QDialog& d) { Find(d, "href")->setText("a.html"); });
        auto cancelled = Run(
            [](QDialog& d) {
                for (auto* edit : d.findChildren<QLineEdit*>()) edit->setText("v");
            },
            "cancel");
        enum Builder { Font, Anchor, Image };
        struct Row {
            Builder builder;
            std::function<int(QDialog&)> run;
            int from, to;
            QString text;
            int selectedFrom, selectedTo;
        };
        const QString fontWrap = QStringLiteral("<font face=\"IPAGothic\"><b>文</b></font>");
        for (const Row& row : std::vector<Row>{
                 {Font, fontFaceBold, 1, 2, "前" + fontWrap + "後", 1, 1 + int(fontWrap.size())},
                 {Font, Run(nullptr), 1, 2, "前文後", 1, 2},
                 {Font, Run(nullptr), 2, 2, "前文後", 2, 2},
                 {Anchor, href, 1, 1, "前<a href=\"a.html\"></a>文後", 1, 22},
                 {Anchor, Run(nullptr), 2, 1, "前文後", 1, 2},
                 {Image, Run([](QDialog& d) { Find(d, "path")->setText("a.jpg"); }), 0, 2,
                  "<img src=\"a.jpg\">前文後", 0, 19},
                 {Font, cancelled, 0, 3, "前文後", 0, 3},
                 {Anchor, cancelled, 1, 1, "前文後", 1, 1},
                 {Image, cancelled, 0, 3, "前文後", 0, 3}}) {
            ScriptedInteraction io;
            io.dialogs = {row.run};
            std::string list;
            QPlainTextEdit body(QStringLiteral("前文後"));
            Select(body, row.from, row.to);
            const std::optional<TagWrap> wrap = row.builder == Font ? RunFontTagDialog(nullptr, io)
                                                : row.builder == Anchor
                                                    ? RunAnchorTagDialog(nullptr, io)
                                                    : RunImageTagDialog(nullptr, io, list);
            // What the main window does with a builder's answer.
            if (wrap) WrapBodySelection(body, wrap->open, wrap->close);
            QCOMPARE(body.toPlainText(), row.text);
            QCOMPARE(body.textCursor().selectionStart(), row.selectedFrom);
            QCOMPARE(body.textCursor().selectionEnd(), row.selectedTo);
        }
    }

    void WrappingKeepsLineBreaksAndDropsTheUndoHistory() {
        QPlainTextEdit body;
        body.setPlainText(QStringLiteral("😀一\n二\n三"));
        // From after the emoji (two positions) to the start of the third line.
        Select(body, 2, 6);
        WrapBodySelection(body, QStringLiteral("<i>"), QStringLiteral("\r\n</i>"));
        QCOMPARE(body.toPlainText(), QStringLiteral("😀<i>一\n二\n\n</i>三"));
        // The close text's CR LF is one line break, one position.
        QCOMPARE(body.textCursor().selectionStart(), 2);
        QCOMPARE(body.textCursor().selectionEnd(), 2 + 3 + 4 + 5);
        QVERIFY(!body.document()->isUndoAvailable());
    }
};

QTEST_MAIN(TagBuildersTest)
#include "tag_builders_test.moc"
