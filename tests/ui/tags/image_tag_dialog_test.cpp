// The image tag builder: its boxes, the file chooser, the img tag and the
// list of images handed to the upload tool.
#include "ui/tags/image_tag_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "platform/encoding.h"
#include "ui/support/scripted_interaction.h"

using qm::ImageTagDialog;
using qm::ImageTagFields;
using qm::TagWrap;
using qm::test::ScriptedInteraction;

namespace {

QLineEdit* Edit(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(name); }
QCheckBox* Percent(QDialog& d, const char* name) { return d.findChild<QCheckBox*>(name); }
QRadioButton* Radio(QDialog& d, int i) {
    return d.findChild<QRadioButton*>(QStringLiteral("position%1").arg(i));
}
void Click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }
// On the indicator: a radio button reacts to its indicator and caption only.
void ClickRadio(QRadioButton* radio) {
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

std::string Sjis(const QString& text) { return qm::Utf8ToCp932(text.toStdString()).value(); }

// 十 is 0x8F 0x5C in code page 932: its second byte looks like '\'.
const std::string kJuu = "\x8F\x5C";

// One run of the dialog that types `path` (and `alt`) and presses OK.
std::function<int(QDialog&)> TypeAndOk(const QString& path, const QString& alt = QString()) {
    return [path, alt](QDialog& d) {
        Edit(d, "path")->setText(path);
        Edit(d, "alt")->setText(alt);
        Click(d, "ok");
        return d.result();
    };
}

}  // namespace

class ImageTagDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void StartsEmpty() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        QCOMPARE(d.windowTitle(), QStringLiteral("IMGタブ精製機"));
        for (const char* name : {"path", "alt", "width", "height", "hspace", "vspace", "border"}) {
            QVERIFY2(Edit(d, name) && Edit(d, name)->text().isEmpty(), name);
        }
        QVERIFY(!Percent(d, "widthPercent")->isChecked());
        QVERIFY(!Percent(d, "heightPercent")->isChecked());
        for (int i = 0; i < 6; ++i) QVERIFY(!Radio(d, i)->isChecked());
        QVERIFY(d.Position().isEmpty());
    }

    void PositionGroupIsShownAndOperable() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.findChild<QGroupBox*>("positionGroup")->isVisible());
        QCOMPARE(d.findChild<QGroupBox*>("positionGroup")->title(), QStringLiteral("位置"));
        QStringList captions;
        for (int i = 0; i < 6; ++i) {
            QVERIFY(Radio(d, i)->isVisible());
            captions << Radio(d, i)->text();
        }
        QCOMPARE(captions, QStringList({" ", "top", "middle", "bottom", "left", "right"}));
        ClickRadio(Radio(d, 1));
        QCOMPARE(d.Position(), QStringLiteral("top"));
        ClickRadio(Radio(d, 5));
        QCOMPARE(d.Position(), QStringLiteral("right"));
        QVERIFY(!Radio(d, 1)->isChecked());
    }

    void PositionTakesNoPartInTheTag() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        Edit(d, "alt")->setText("a");
        Radio(d, 2)->setChecked(true);
        d.accept();
        QCOMPARE(qm::BuildImageTag(d.Fields()).value(), QStringLiteral("<img alt=\"a\">"));
    }

    void BrowseFillsThePathAndCancelKeepsIt() {
        ScriptedInteraction io;
        io.fileNames.push_back(QStringLiteral("/home/u/写真/a.jpg"));
        io.fileNames.push_back(std::nullopt);
        ImageTagDialog d(io);
        Edit(d, "path")->setText("typed.png");
        Click(d, "browse");
        QCOMPARE(Edit(d, "path")->text(), QStringLiteral("/home/u/写真/a.jpg"));
        Click(d, "browse");
        QCOMPARE(Edit(d, "path")->text(), QStringLiteral("/home/u/写真/a.jpg"));
        QCOMPARE(io.fileChooserFilters.size(), 2);
        const QStringList filters = io.fileChooserFilters.first().split(";;");
        QCOMPARE(filters.size(), 2);
        QVERIFY(
            filters[0].startsWith("imagefiles(*.jpg)(*.jpeg)(*.png)(*.gif) (*.jpg *.jpeg "
                                  "*.png *.gif"));
        QVERIFY(filters[1].startsWith(QStringLiteral("すべてのファイル(*.*) (*")));
    }

    void OkReadsEveryField() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        Edit(d, "path")->setText(QStringLiteral("C:\\画像\\十.jpg"));
        Edit(d, "alt")->setText("alt");
        Edit(d, "width")->setText("1");
        Edit(d, "height")->setText("2");
        Edit(d, "hspace")->setText("3");
        Edit(d, "vspace")->setText("4");
        Edit(d, "border")->setText("5");
        Percent(d, "heightPercent")->setChecked(true);
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const ImageTagFields& f = d.Fields();
        QCOMPARE(f.path, Sjis(QStringLiteral("C:\\画像\\十.jpg")));
        QCOMPARE(f.alt + f.width + f.height + f.hspace + f.vspace + f.border,
                 QStringLiteral("alt12345"));
        QVERIFY(f.heightPercent);
        QVERIFY(!f.widthPercent);
    }

    void PathShiftJisCannotSpellIsRefused() {
        ScriptedInteraction io;
        ImageTagDialog d(io);
        Edit(d, "path")->setText(QString::fromUtf8("/home/u/😀.png"));
        d.accept();
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].caption, QStringLiteral("IMGタブ精製機"));
        Edit(d, "path")->setText("/home/u/a.png");
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.Fields().path, std::string("/home/u/a.png"));
    }

    void SourceName_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("src");
        QTest::newRow("backslashes") << QByteArray("C:\\img\\a.jpg") << QByteArray("a.jpg");
        QTest::newRow("slashes") << QByteArray("/home/u/b.png") << QByteArray("b.png");
        QTest::newRow("mixed, last wins") << QByteArray("C:/x\\y/c.gif") << QByteArray("c.gif");
        QTest::newRow("no folder") << QByteArray("d.jpg") << QByteArray("d.jpg");
        QTest::newRow("drive, no folder") << QByteArray("C:e.jpg") << QByteArray("e.jpg");
        QTest::newRow("ends in a backslash") << QByteArray("C:\\img\\") << QByteArray("");
        QTest::newRow("ends in a slash") << QByteArray("/home/u/") << QByteArray("");
        QTest::newRow("name is 十") << QByteArray::fromStdString("C:\\img\\" + kJuu + ".jpg")
                                    << QByteArray::fromStdString(kJuu + ".jpg");
        QTest::newRow("name ends in 十") << QByteArray::fromStdString("C:\\img\\a" + kJuu)
                                         << QByteArray::fromStdString("a" + kJuu);
        QTest::newRow("folder is 十")
            << QByteArray::fromStdString("C:\\" + kJuu + "\\f.jpg") << QByteArray("f.jpg");
    }

    void SourceName() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, src);
        QCOMPARE(QByteArray::fromStdString(qm::ImageSourceName(path.toStdString())), src);
    }

    void TagTexts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("alt");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("hspace");
        QTest::addColumn<QString>("vspace");
        QTest::addColumn<QString>("border");
        QTest::addColumn<bool>("widthPercent");
        QTest::addColumn<bool>("heightPercent");
        QTest::addColumn<QString>("tag");
        QTest::newRow("path only") << "C:\\img\\a.jpg"
                                   << ""
                                   << ""
                                   << ""
                                   << ""
                                   << ""
                                   << "" << false << false << "<img src=\"a.jpg\">";
        QTest::newRow("path with 十") << "C:\\img\\十.jpg"
                                      << ""
                                      << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "" << false << false << "<img src=\"十.jpg\">";
        QTest::newRow("path ends in a separator") << "C:\\img\\"
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << "" << false << false << "<img src=\"\">";
        QTest::newRow("alt only") << ""
                                  << "写真"
                                  << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "" << false << false << "<img alt=\"写真\">";
        QTest::newRow("width only") << ""
                                    << ""
                                    << "50"
                                    << ""
                                    << ""
                                    << ""
                                    << "" << false << false << "<img width=\"50\">";
        QTest::newRow("width in percent") << ""
                                          << ""
                                          << "50"
                                          << ""
                                          << ""
                                          << ""
                                          << "" << true << false << "<img width=\"50%\">";
        QTest::newRow("height only") << ""
                                     << ""
                                     << ""
                                     << "120"
                                     << ""
                                     << ""
                                     << "" << false << false << "<img height=\"120\">";
        QTest::newRow("height in percent") << ""
                                           << ""
                                           << ""
                                           << "120"
                                           << ""
                                           << ""
                                           << "" << false << true << "<img height=\"120%\">";
        QTest::newRow("percent without a value") << ""
                                                 << "a"
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "" << true << true << "<img alt=\"a\">";
        QTest::newRow("hspace only") << ""
                                     << ""
                                     << ""
                                     << ""
                                     << "3"
                                     << ""
                                     << "" << false << false << "<img hspace=\"3\">";
        QTest::newRow("vspace only") << ""
                                     << ""
                                     << ""
                                     << ""
                                     << ""
                                     << "4"
                                     << "" << false << false << "<img vspace=\"4\">";
        QTest::newRow("border only") << ""
                                     << ""
                                     << ""
                                     << ""
                                     << ""
                                     << ""
                                     << "0" << false << false << "<img border=\"0\">";
        QTest::newRow("height before width")
            << "/p/b.png"
            << ""
            << "50"
            << "120"
            << ""
            << ""
            << "" << true << false << "<img src=\"b.png\" height=\"120\" width=\"50%\">";
        QTest::newRow("everything in order")
            << "c.gif"
            << "x\"y"
            << "1"
            << "2"
            << "3"
            << "4"
            << "5" << true << true
            << "<img src=\"c.gif\" alt=\"x\"y\" height=\"2%\" width=\"1%\" hspace=\"3\" "
               "vspace=\"4\" border=\"5\">";
    }

    void TagTexts() {
        QFETCH(QString, path);
        QFETCH(QString, tag);
        ImageTagFields f;
        f.path = Sjis(path);
        QFETCH(QString, alt);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, hspace);
        QFETCH(QString, vspace);
        QFETCH(QString, border);
        QFETCH(bool, widthPercent);
        QFETCH(bool, heightPercent);
        f.alt = alt;
        f.width = width;
        f.height = height;
        f.hspace = hspace;
        f.vspace = vspace;
        f.border = border;
        f.widthPercent = widthPercent;
        f.heightPercent = heightPercent;
        QCOMPARE(qm::BuildImageTag(f).value(), tag);
    }

    void NoTagWhenEveryTextIsEmpty() {
        ImageTagFields f;
        QVERIFY(!qm::BuildImageTag(f));
        f.widthPercent = f.heightPercent = true;
        QVERIFY(!qm::BuildImageTag(f));
    }

    void LongTagIsKeptWhole() {
        ImageTagFields f;
        f.alt = QString(1100, 'a');
        QCOMPARE(qm::BuildImageTag(f).value(), "<img alt=\"" + f.alt + "\">");
    }

    void TwoImagesInARowJoinTheUploadList() {
        ScriptedInteraction io;
        io.dialogs.push_back(TypeAndOk(QStringLiteral("C:\\img\\a.jpg")));
        io.dialogs.push_back(TypeAndOk(QStringLiteral("C:\\十\\十.png")));
        io.dialogs.push_back(TypeAndOk(QStringLiteral("C:\\img\\a.jpg")));
        std::string list;
        std::optional<TagWrap> first = qm::RunImageTagDialog(nullptr, io, list);
        QCOMPARE(first.value().open, QStringLiteral("<img src=\"a.jpg\">"));
        QVERIFY(first->close.isEmpty());
        QCOMPARE(list, std::string("C:\\img\\a.jpg"));
        std::optional<TagWrap> second = qm::RunImageTagDialog(nullptr, io, list);
        QCOMPARE(second.value().open, QStringLiteral("<img src=\"十.png\">"));
        QCOMPARE(list, "C:\\img\\a.jpg\" \"C:\\" + kJuu + "\\" + kJuu + ".png");
        QVERIFY(qm::RunImageTagDialog(nullptr, io, list));
        QCOMPARE(list, "C:\\img\\a.jpg\" \"C:\\" + kJuu + "\\" + kJuu + ".png\" \"C:\\img\\a.jpg");
        QCOMPARE(io.dialogTitles.size(), 3);
    }

    void PathEndingInASeparatorStillJoinsTheList() {
        ScriptedInteraction io;
        io.dialogs.push_back(TypeAndOk(QStringLiteral("/home/u/")));
        std::string list = "x.jpg";
        QCOMPARE(qm::RunImageTagDialog(nullptr, io, list).value().open,
                 QStringLiteral("<img src=\"\">"));
        QCOMPARE(list, std::string("x.jpg\" \"/home/u/"));
    }

    void AltOnlyLeavesTheListAlone() {
        ScriptedInteraction io;
        io.dialogs.push_back(TypeAndOk(QString(), QStringLiteral("説明")));
        std::string list = "C:\\a.jpg";
        QCOMPARE(qm::RunImageTagDialog(nullptr, io, list).value().open,
                 QStringLiteral("<img alt=\"説明\">"));
        QCOMPARE(list, std::string("C:\\a.jpg"));
    }

    void NothingTypedOrCancelledChangesNothing() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            Percent(d, "widthPercent")->setChecked(true);
            Click(d, "ok");
            return d.result();
        });
        io.dialogs.push_back([](QDialog& d) {
            Edit(d, "path")->setText("C:\\b.jpg");
            Click(d, "cancel");
            return d.result();
        });
        std::string list = "C:\\a.jpg";
        QVERIFY(!qm::RunImageTagDialog(nullptr, io, list));
        QVERIFY(!qm::RunImageTagDialog(nullptr, io, list));
        QCOMPARE(list, std::string("C:\\a.jpg"));
    }

    void ChosenFileJoinsTheList() {
        ScriptedInteraction io;
        io.fileNames.push_back(QStringLiteral("/home/u/写真/b.png"));
        io.dialogs.push_back([](QDialog& d) {
            Click(d, "browse");
            Edit(d, "height")->setText("120");
            Edit(d, "width")->setText("50");
            Percent(d, "widthPercent")->setChecked(true);
            Click(d, "ok");
            return d.result();
        });
        std::string list;
        QCOMPARE(qm::RunImageTagDialog(nullptr, io, list).value().open,
                 QStringLiteral("<img src=\"b.png\" height=\"120\" width=\"50%\">"));
        QCOMPARE(list, Sjis(QStringLiteral("/home/u/写真/b.png")));
    }
};

QTEST_MAIN(ImageTagDialogTest)
#include "image_tag_dialog_test.moc"
