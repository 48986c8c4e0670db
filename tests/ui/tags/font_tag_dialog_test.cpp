// The font tag builder: the dialog's lists and choosers, and the tag texts
// built from what it read.
#include "ui/tags/font_tag_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/encoding.h"
#include "ui/support/scripted_interaction.h"

using qm::FontTagDialog;
using qm::FontTagFields;
using qm::Interaction;
using qm::TagWrap;
using qm::test::ScriptedInteraction;

namespace {

QComboBox* SizeBox(QDialog& d) { return d.findChild<QComboBox*>("fontSize"); }
QComboBox* ColorBox(QDialog& d) { return d.findChild<QComboBox*>("fontColor"); }
QLineEdit* FaceBox(QDialog& d) { return d.findChild<QLineEdit*>("fontFace"); }
QCheckBox* Style(QDialog& d, const char* name) { return d.findChild<QCheckBox*>(name); }
void Click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

Interaction::FontChoice Choice(const QString& family, int weight, bool italic, bool strikeOut,
                               bool underline, QColor color = QColor(0, 0, 0)) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    font.setStrikeOut(strikeOut);
    font.setUnderline(underline);
    return {font, color};
}

std::size_t Cp932Size(const QString& text) {
    return qm::Utf8ToCp932(text.toStdString()).value_or(std::string(1000, 'x')).size();
}

}  // namespace

class FontTagDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void StartsEmptyWithListsInOrder() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        QCOMPARE(d.windowTitle(), QStringLiteral("Fontタグ精製機"));
        QCOMPARE(Items(SizeBox(d)),
                 QStringList({"1", "2", "3", "4", "5", "6", "7", "+1", "+2", "+3", "+4", "+5", "+6",
                              "-1", "-2", "-3", "-4", "-5", "-6"}));
        const QStringList colors = Items(ColorBox(d));
        QCOMPARE(colors.size(), 33);
        QCOMPARE(colors.first(), QStringLiteral("red"));
        QCOMPARE(colors.mid(3, 3), QStringList({"black", "gray", "white"}));
        QCOMPARE(colors.mid(12, 3), QStringList({"silver", "aliceblue", "antiquewhite"}));
        QCOMPARE(colors.last(), QStringLiteral("steelblue"));
        QVERIFY(SizeBox(d)->currentText().isEmpty());
        QVERIFY(ColorBox(d)->currentText().isEmpty());
        QVERIFY(FaceBox(d)->text().isEmpty());
        for (const char* name : {"bold", "italic", "strikeOut", "underline"}) {
            QVERIFY(!Style(d, name)->isChecked());
        }
        QCOMPARE(d.font().pointSize(), 9);
        QCOMPARE(d.font().families().first(), QStringLiteral("ＭＳ Ｐゴシック"));
    }

    void TypedTextIsNeitherCompletedNorAddedToTheList() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        QTest::keyClicks(ColorBox(d)->lineEdit(), "re");
        QTest::keyClick(ColorBox(d)->lineEdit(), Qt::Key_Return);
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("re"));
        QCOMPARE(ColorBox(d)->count(), 33);
    }

    void OkReadsEveryField() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        SizeBox(d)->setEditText("+1");
        ColorBox(d)->setCurrentIndex(0);
        FaceBox(d)->setText("IPAGothic");
        Style(d, "bold")->setChecked(true);
        Style(d, "underline")->setChecked(true);
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const FontTagFields& f = d.Fields();
        QCOMPARE(f.size, QStringLiteral("+1"));
        QCOMPARE(f.color, QStringLiteral("red"));
        QCOMPARE(f.face, QStringLiteral("IPAGothic"));
        QVERIFY(f.bold && f.underline && !f.italic && !f.strikeOut);
    }

    void LongTextsAreCutToTheirByteSizes() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        SizeBox(d)->setEditText("1234567890");
        ColorBox(d)->setEditText(QString(40, 'c'));
        // 16 double-byte characters are 32 bytes: the 16th does not fit in 31.
        FaceBox(d)->setText(QString(16, QChar(0x3042)));
        d.accept();
        QCOMPARE(d.Fields().size, QStringLiteral("1234567"));
        QCOMPARE(d.Fields().color, QString(31, 'c'));
        QCOMPARE(d.Fields().face, QString(15, QChar(0x3042)));
        QCOMPARE(Cp932Size(d.Fields().face), std::size_t(30));
    }

    void ACharacterShiftJisLacksCountsAsItsReference() {
        // "&#x1F600;" is 9 bytes: after 23 letters only 8 are left.
        QCOMPARE(qm::CutToCp932Bytes(QString(23, 'a') + QString::fromUtf8("😀"), 31),
                 QString(23, 'a'));
        QCOMPARE(qm::CutToCp932Bytes(QString(22, 'a') + QString::fromUtf8("😀"), 31),
                 QString(22, 'a') + QString::fromUtf8("😀"));
    }

    void CancelClosesRejected() {
        ScriptedInteraction io;
        FontTagDialog d(io);
        SizeBox(d)->setEditText("3");
        Click(d, "cancel");
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void ColourChooserStartsAtBlackAndWritesHexText() {
        ScriptedInteraction io;
        io.colors.push_back(QColor(0, 128, 255));
        io.colors.push_back(std::nullopt);
        io.colors.push_back(QColor(10, 11, 171));
        FontTagDialog d(io);
        ColorBox(d)->setEditText("blue");
        Click(d, "chooseColor");
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("#0080FF"));
        Click(d, "chooseColor");  // cancelled
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("#0080FF"));
        Click(d, "chooseColor");
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("#0A0BAB"));
        QCOMPARE(io.colorChooserStarts.size(), std::size_t(3));
        for (const QColor& start : io.colorChooserStarts) QCOMPARE(start, QColor(0, 0, 0));
        QCOMPARE(ColorBox(d)->count(), 33);
    }

    void FontChooserFillsFaceAndStyles() {
        ScriptedInteraction io;
        io.fonts.push_back(Choice("IPAPGothic", 700, true, false, true));
        FontTagDialog d(io);
        Style(d, "strikeOut")->setChecked(true);
        Click(d, "chooseFont");
        QCOMPARE(FaceBox(d)->text(), QStringLiteral("IPAPGothic"));
        QVERIFY(Style(d, "bold")->isChecked());
        QVERIFY(Style(d, "italic")->isChecked());
        QVERIFY(!Style(d, "strikeOut")->isChecked());
        QVERIFY(Style(d, "underline")->isChecked());
    }

    void BoldStartsAtWeight700() {
        ScriptedInteraction io;
        io.fonts.push_back(Choice("Semi", 600, false, false, false));
        io.fonts.push_back(Choice("Heavy", 900, false, false, false));
        io.fonts.push_back(Choice("Plain", 400, false, true, false));
        FontTagDialog d(io);
        Style(d, "bold")->setChecked(true);
        Click(d, "chooseFont");
        QVERIFY(!Style(d, "bold")->isChecked());
        Click(d, "chooseFont");
        QVERIFY(Style(d, "bold")->isChecked());
        Click(d, "chooseFont");
        QVERIFY(!Style(d, "bold")->isChecked());
        QVERIFY(Style(d, "strikeOut")->isChecked());
        QCOMPARE(FaceBox(d)->text(), QStringLiteral("Plain"));
    }

    void FontChooserColourReplacesOnlyWhenNotBlack() {
        ScriptedInteraction io;
        io.fonts.push_back(Choice("A", 400, false, false, false));
        io.fonts.push_back(Choice("B", 400, false, false, false, QColor(255, 0, 0)));
        io.fonts.push_back(Choice("C", 400, false, false, false));
        FontTagDialog d(io);
        ColorBox(d)->setEditText("plum");
        Click(d, "chooseFont");
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("plum"));
        Click(d, "chooseFont");
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("#FF0000"));
        Click(d, "chooseFont");
        QCOMPARE(ColorBox(d)->currentText(), QStringLiteral("#FF0000"));
        QCOMPARE(FaceBox(d)->text(), QStringLiteral("C"));
    }

    void CancelledFontChooserChangesNothing() {
        ScriptedInteraction io;
        io.fonts.push_back(std::nullopt);
        FontTagDialog d(io);
        FaceBox(d)->setText("kept");
        Style(d, "italic")->setChecked(true);
        Click(d, "chooseFont");
        QCOMPARE(FaceBox(d)->text(), QStringLiteral("kept"));
        QVERIFY(Style(d, "italic")->isChecked());
    }

    void LongFaceFromChooserIsCut() {
        ScriptedInteraction io;
        io.fonts.push_back(Choice(QString(40, 'f'), 400, false, false, false));
        FontTagDialog d(io);
        Click(d, "chooseFont");
        QCOMPARE(FaceBox(d)->text(), QString(31, 'f'));
    }

    void TagTexts_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("styles");  // 1 bold, 2 italic, 4 strike-out, 8 underline
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "" << 0 << ""
                                 << "";
        QTest::newRow("bold only") << ""
                                   << ""
                                   << "" << 1 << "<b>"
                                   << "</b>";
        QTest::newRow("italic only") << ""
                                     << ""
                                     << "" << 2 << "<i>"
                                     << "</i>";
        QTest::newRow("strike-out only") << ""
                                         << ""
                                         << "" << 4 << "<s>"
                                         << "</s>";
        QTest::newRow("underline only") << ""
                                        << ""
                                        << "" << 8 << "<u>"
                                        << "</u>";
        QTest::newRow("all styles") << ""
                                    << ""
                                    << "" << 15 << "<s><u><b><i>"
                                    << "</i></b></u></s>";
        QTest::newRow("size only") << "-2"
                                   << ""
                                   << "" << 0 << "<font size=\"-2\">"
                                   << "</font>";
        QTest::newRow("colour only") << ""
                                     << "#0080FF"
                                     << "" << 0 << "<font color=\"#0080FF\">"
                                     << "</font>";
        QTest::newRow("face only") << ""
                                   << ""
                                   << "ＭＳ 明朝" << 0 << "<font face=\"ＭＳ 明朝\">"
                                   << "</font>";
        QTest::newRow("size, colour, bold, italic")
            << "+1"
            << "red"
            << "" << 3 << "<font size=\"+1\" color=\"red\"><b><i>"
            << "</i></b></font>";
        QTest::newRow("everything")
            << "7"
            << "snow"
            << "x\"y" << 15 << "<font size=\"7\" color=\"snow\" face=\"x\"y\"><s><u><b><i>"
            << "</i></b></u></s></font>";
    }

    void TagTexts() {
        QFETCH(QString, size);
        QFETCH(QString, color);
        QFETCH(QString, face);
        QFETCH(int, styles);
        QFETCH(QString, open);
        QFETCH(QString, close);
        FontTagFields f;
        f.size = size;
        f.color = color;
        f.face = face;
        f.bold = styles & 1;
        f.italic = styles & 2;
        f.strikeOut = styles & 4;
        f.underline = styles & 8;
        const TagWrap wrap = qm::BuildFontTag(f);
        QCOMPARE(wrap.open, open);
        QCOMPARE(wrap.close, close);
    }

    void RunReturnsTheTagAfterOk() {
        ScriptedInteraction io;
        io.colors.push_back(QColor(255, 0, 0));
        io.dialogs.push_back([](QDialog& d) {
            SizeBox(d)->setCurrentIndex(7);  // "+1"
            Click(d, "chooseColor");
            Style(d, "italic")->setChecked(true);
            Click(d, "ok");
            return d.result();
        });
        const std::optional<TagWrap> wrap = qm::RunFontTagDialog(nullptr, io);
        QVERIFY(wrap);
        QCOMPARE(wrap->open, QStringLiteral("<font size=\"+1\" color=\"#FF0000\"><i>"));
        QCOMPARE(wrap->close, QStringLiteral("</i></font>"));
        QCOMPARE(io.dialogTitles, QStringList({"Fontタグ精製機"}));
    }

    void RunWithNothingChosenGivesEmptyTexts() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Click(d, "ok");
            return d.result();
        });
        const std::optional<TagWrap> wrap = qm::RunFontTagDialog(nullptr, io);
        QVERIFY(wrap);
        QVERIFY(wrap->open.isEmpty());
        QVERIFY(wrap->close.isEmpty());
    }

    void RunCancelledGivesNothing() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Style(d, "bold")->setChecked(true);
            Click(d, "cancel");
            return d.result();
        });
        QVERIFY(!qm::RunFontTagDialog(nullptr, io));
    }
};

QTEST_MAIN(FontTagDialogTest)
#include "font_tag_dialog_test.moc"
