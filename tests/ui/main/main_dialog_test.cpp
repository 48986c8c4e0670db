// The main window's start-up: its controls, the loaded configuration, the set
// list, the upload box, the Enter key and the version entry.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

class MainDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void ControlsCarryTheirCaptionsAndStyles() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->windowTitle(), QStringLiteral("くいるめいかー"));
        const std::vector<std::pair<int, QString>> captions = {{1034, "参照"},
                                                               {1006, "Do It !!!"},
                                                               {1041, "リンク"},
                                                               {1058, "IMAGE"},
                                                               {1042, "Font"},
                                                               {1002, "FTP設定"},
                                                               {1003, "ファイルパス指定"},
                                                               {1029, "セット追加"},
                                                               {1017, "ＨＴＭＬ原型編集"},
                                                               {1004, "テンプレート編集"},
                                                               {1013, "TAG編集"},
                                                               {1007, "ＱＭとりせつ"},
                                                               {1035, "押したらタブだよ"}};
        for (const auto& [id, caption] : captions) {
            QVERIFY2(window->button(id) != nullptr, qPrintable(QString::number(id)));
            QCOMPARE(window->button(id)->text(), caption);
            QCOMPARE(window->button(id)->objectName(), QStringLiteral("id%1").arg(id));
        }
        for (int id : {1041, 1058, 1042, 1013, 1007}) QVERIFY(window->button(id)->isFlat());
        QCOMPARE(window->uploadCheckBox()->text(), QStringLiteral("UPする"));
        QStringList labels;
        for (QLabel* label : window->labels()) labels << label->text();
        QCOMPARE(labels, QStringList({"題名", "本文", "画像", "ALT"}));

        QVERIFY(!window->altTextEdit()->isEnabled());
        QVERIFY(window->imageNameEdit()->isReadOnly());
        QVERIFY(window->button(kIdEnterToBody)->isDefault());
        QVERIFY(window->button(kIdEnterToBody)->isHidden());
        QVERIFY(window->findChild<QWidget*>(QStringLiteral("id1023")) == window->tagList());

        // "ＭＳ ゴシック" where it exists, else one of its stand-ins.
        const QString family = QFontInfo(window->font()).family();
        const QStringList expected = {"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "Noto Sans CJK JP",
                                      QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
        QVERIFY2(expected.contains(family), qPrintable(family));
        QCOMPARE(window->font().pointSize(), 10);

        const QList<QSize> iconSizes = window->windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)));
        QVERIFY(iconSizes.contains(QSize(32, 32)));
    }

    void TabVisitsTheControlsInLayoutOrder() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QList<int> order;
        QWidget* widget = window->titleEdit();
        do {
            const bool tabStop = (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
            if (tabStop && widget->objectName().startsWith("id")) {
                order << widget->objectName().mid(2).toInt();
            }
            widget = widget->nextInFocusChain();
        } while (widget != window->titleEdit() && order.size() < 40);

        QCOMPARE(order, QList<int>({1000, 1034, 1033, 1001, 1006, 1058, 1042, 1010, 1002, 1003,
                                    1029, 1017, 1004, 1013, 1007, 1028, 1023}));
        QCOMPARE(window->focusWidget(), window->titleEdit());
    }

    void TheStoredSetIsSelectedAndLoaded() {
        ProgramFolder folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=べつ\n[STATE]\nCURRENT=1\n");
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteSet("べつ", "other.html", "templet.txt");
        folder.WriteFile("other.html", kPageText);
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->setList()->count(), 2);
        QCOMPARE(window->setList()->itemText(1), QStringLiteral("べつ"));
        QCOMPARE(window->setList()->currentIndex(), 1);
        QCOMPARE(window->config().configIniPath, folder.dir() + Sjis("べつ") + ".ini");
        QCOMPARE(window->config().diaryPage, folder.path("other.html"));
    }

    void AStoredIndexPastTheListSelectsTheFirstSet() {
        ProgramFolder folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n[STATE]\nCURRENT=7\n");
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteSet("b", "other.html", "templet.txt");
        folder.WriteFile("page.html", kPageText);
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->setList()->currentIndex(), 0);
        QCOMPARE(window->config().configIniPath, folder.path("a.ini"));
        QCOMPARE(folder.ReadInt("STATE", "CURRENT"), 7);
    }

    void ChoosingAnotherSetLoadsItAndRemembersIt() {
        ProgramFolder folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n");
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteSet("b", "other.html", "other.txt");
        folder.WriteFile("page.html", kPageText);
        folder.WriteFile("other.html", kPageText);
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        QCOMPARE(window->config().prototypePath, folder.path("page.html"));

        // A wheel turned over the list while it is not chosen switches nothing.
        window->titleEdit()->setFocus();
        QWheelEvent wheel(QPointF(5, 5), window->setList()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->setList(), &wheel);
        QCOMPARE(window->setList()->currentIndex(), 0);
        QCOMPARE(window->runState().currentSetIndex, 0);

        window->setList()->setFocus();
        QTest::keyClick(window->setList(), Qt::Key_Down);

        QCOMPARE(window->runState().currentSetIndex, 1);
        QCOMPARE(folder.ReadInt("STATE", "CURRENT"), 1);
        QCOMPARE(window->config().configIniPath, folder.path("b.ini"));
        QCOMPARE(window->config().prototypePath, folder.path("other.html"));
        QCOMPARE(window->config().templatePath, folder.path("other.txt"));
        // Every set is still listed once.
        QCOMPARE(window->setList()->count(), 2);
        QCOMPARE(window->setList()->currentIndex(), 1);
    }

    void TheUploadBoxStartsCheckedOnlyForOneAndWritesEachClick() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni("[INI]\n0=a\n[STATE]\nUP=2\n");
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        QVERIFY(!window->uploadCheckBox()->isChecked());

        QTest::mouseClick(window->uploadCheckBox(), Qt::LeftButton);
        QCOMPARE(folder.ReadText("STATE", "UP"), std::string("1"));
        QTest::mouseClick(window->uploadCheckBox(), Qt::LeftButton);
        QCOMPARE(folder.ReadText("STATE", "UP"), std::string("0"));

        folder.WriteSystemIni("[INI]\n0=a\n[STATE]\nUP=1\n");
        auto again = OpenWindow(folder, io);
        QVERIFY(again);
        QVERIFY(again->uploadCheckBox()->isChecked());
    }

    void EnterInTheTitleMovesToTheBodyAndGeneratesNothing() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->titleEdit()->setFocus();
        QTest::keyClicks(window->titleEdit(), QStringLiteral("title"));

        QTest::keyClick(window->titleEdit(), Qt::Key_Return);

        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(window->bodyEdit()));
        QVERIFY(window->isVisible());
        QCOMPARE(folder.ReadFile("page.html"), Sjis(kPageText));

        // Enter from the check box goes the same way; in the body it is a new line.
        window->uploadCheckBox()->setFocus();
        QTest::keyClick(window->uploadCheckBox(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(window->bodyEdit()));
        QTest::keyClicks(window->bodyEdit(), QStringLiteral("a"));
        QTest::keyClick(window->bodyEdit(), Qt::Key_Return);
        QTest::keyClicks(window->bodyEdit(), QStringLiteral("b"));
        QCOMPARE(window->bodyEdit()->toPlainText(), QStringLiteral("a\nb"));
        QVERIFY(io.messages.empty());
    }

    void TheVersionEntryShowsTheAboutBox() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        QVERIFY(window->actions().contains(window->aboutAction()));
        QCOMPARE(window->aboutAction()->text(), QStringLiteral("Quillmaker のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        QString shown;
        io.dialogs.push_back([&](QDialog& about) {
            const auto* name = about.findChild<QLabel*>(QStringLiteral("aboutName"));
            shown = name ? name->text() : QString();
            return int(QDialog::Accepted);
        });

        window->aboutAction()->trigger();

        QCOMPARE(io.dialogTitles, QStringList({"Quillmaker のバージョン情報"}));
        QVERIFY2(shown.contains(QStringLiteral("Quillmaker")), qPrintable(shown));
        QVERIFY(window->isVisible());
    }

    void EmptyTemplatePathOpensThePathSettingsWhileLoading() {
        ProgramFolder folder;
        folder.WriteOneSet();
        WriteBytes(folder.path("a.ini"),
                   "[FILEPATH]\r\nORIGINAL=" + folder.path("page.html") + "\r\nTEMPLET=\r\n");
        ScriptedInteraction io;
        auto window = std::make_unique<MainDialog>(io, folder.dir());
        int opened = 0;
        window->host().pathSettingsOpener = [&](ActiveConfig& config) {
            ++opened;
            config.templatePath = folder.path("templet.txt");
            return true;
        };

        QVERIFY(window->Initialise());

        QCOMPARE(opened, 1);
        QCOMPARE(window->config().templatePath, folder.path("templet.txt"));
    }

    void NoSetAndNoManagerStopsTheStart() {
        ProgramFolder folder;
        ScriptedInteraction io;
        MainDialog window(io, folder.dir());

        QVERIFY(!window.Initialise());
        QCOMPARE(io.messages.size(), std::size_t{1});
    }

    void TheSetManagerRunsUntilASetExists() {
        ProgramFolder folder;
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteFile("page.html", kPageText);
        folder.WriteFile("templet.txt", kTemplateText);
        ScriptedInteraction io;
        MainDialog window(io, folder.dir());
        int opened = 0;
        window.host().setManagerOpener = [&](ActiveConfig&) {
            // The first time the user closes it without making a set.
            if (++opened == 2) folder.WriteSystemIni("[INI]\n0=a\n");
            return true;
        };

        QVERIFY(window.Initialise());

        QCOMPARE(opened, 2);
        QCOMPARE(window.setList()->count(), 1);
        QCOMPARE(window.config().prototypePath, folder.path("page.html"));
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
