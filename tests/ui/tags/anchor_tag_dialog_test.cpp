// The anchor tag builder: its boxes, and the link texts built from them.
#include "ui/tags/anchor_tag_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/support/scripted_interaction.h"

using qm::AnchorTagDialog;
using qm::AnchorTagFields;
using qm::TagWrap;
using qm::test::ScriptedInteraction;

namespace {

QLineEdit* Href(QDialog& d) { return d.findChild<QLineEdit*>("href"); }
QComboBox* Target(QDialog& d) { return d.findChild<QComboBox*>("target"); }
QLineEdit* Name(QDialog& d) { return d.findChild<QLineEdit*>("name"); }
void Click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }

}  // namespace

class AnchorTagDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void StartsEmptyWithBlankOffered() {
        AnchorTagDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("アンカー精製機"));
        QVERIFY(Href(d)->text().isEmpty());
        QVERIFY(Name(d)->text().isEmpty());
        QVERIFY(Target(d)->isEditable());
        QCOMPARE(Target(d)->count(), 1);
        QCOMPARE(Target(d)->itemText(0), QStringLiteral("_blank"));
        QVERIFY(Target(d)->currentText().isEmpty());
    }

    void OkTakesTypedAndPickedTexts() {
        AnchorTagDialog d;
        Href(d)->setText("http://example.org/a?b=1&c=\"2\"");
        Name(d)->setText("名前");
        Target(d)->setCurrentIndex(0);
        Click(d, "ok");
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.Fields().href, QStringLiteral("http://example.org/a?b=1&c=\"2\""));
        QCOMPARE(d.Fields().name, QStringLiteral("名前"));
        QCOMPARE(d.Fields().target, QStringLiteral("_blank"));
    }

    void TypedTargetIsKeptAsTyped() {
        AnchorTagDialog d;
        QTest::keyClicks(Target(d)->lineEdit(), "_b");
        Click(d, "ok");
        QCOMPARE(d.Fields().target, QStringLiteral("_b"));
        QCOMPARE(Target(d)->count(), 1);
    }

    void TagTexts_data() {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("open");
        QTest::newRow("href only") << "a.html"
                                   << ""
                                   << ""
                                   << "<a href=\"a.html\">";
        QTest::newRow("name only") << ""
                                   << "top"
                                   << ""
                                   << "<a name=\"top\">";
        QTest::newRow("target only") << ""
                                     << ""
                                     << "_blank"
                                     << "<a target=\"_blank\">";
        QTest::newRow("href and target") << "u"
                                         << ""
                                         << "_blank"
                                         << "<a href=\"u\" target=\"_blank\">";
        QTest::newRow("all three in order") << "u"
                                            << "n"
                                            << "t"
                                            << "<a href=\"u\" name=\"n\" target=\"t\">";
        QTest::newRow("spaces are values too") << " "
                                               << ""
                                               << ""
                                               << "<a href=\" \">";
    }

    void TagTexts() {
        QFETCH(QString, href);
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(QString, open);
        const std::optional<TagWrap> wrap = qm::BuildAnchorTag({href, target, name});
        QVERIFY(wrap);
        QCOMPARE(wrap->open, open);
        QCOMPARE(wrap->close, QStringLiteral("</a>"));
    }

    void NothingWhenAllEmpty() { QVERIFY(!qm::BuildAnchorTag(AnchorTagFields{})); }

    void LongValuesAreKeptWhole() {
        const QString href = QStringLiteral("http://example.org/") + QString(300, 'p');
        const std::optional<TagWrap> wrap = qm::BuildAnchorTag({href, "_blank", "n"});
        QVERIFY(wrap);
        QCOMPARE(wrap->open, "<a href=\"" + href + "\" name=\"n\" target=\"_blank\">");
    }

    void RunAfterOk() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Href(d)->setText("b.html");
            Target(d)->setEditText("main");
            Click(d, "ok");
            return d.result();
        });
        const std::optional<TagWrap> wrap = qm::RunAnchorTagDialog(nullptr, io);
        QVERIFY(wrap);
        QCOMPARE(wrap->open, QStringLiteral("<a href=\"b.html\" target=\"main\">"));
        QCOMPARE(wrap->close, QStringLiteral("</a>"));
        QCOMPARE(io.dialogTitles, QStringList({"アンカー精製機"}));
    }

    void RunOkWithEverythingEmptyInsertsNothing() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Click(d, "ok");
            return d.result();
        });
        QVERIFY(!qm::RunAnchorTagDialog(nullptr, io));
    }

    void RunCancelled() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Href(d)->setText("c.html");
            d.reject();
            return d.result();
        });
        QVERIFY(!qm::RunAnchorTagDialog(nullptr, io));
    }
};

QTEST_MAIN(AnchorTagDialogTest)
#include "anchor_tag_dialog_test.moc"
