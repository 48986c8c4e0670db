#include "ui/config/path_settings_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "platform/clock.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

constexpr std::string_view kAbsent = "<absent>";

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Key(const std::string& ini, std::string_view key) {
    return QString::fromStdString(ReadProfileString(ini, "FILEPATH", key, kAbsent, 1024));
}

ActiveConfig MakeConfig(const TempDir& dir, int mode) {
    ActiveConfig c;
    c.programDir = dir.dir();
    c.systemIniPath = dir / "QMsys.ini";
    c.configIniPath = dir / "my.ini";
    std::filesystem::create_directories(dir / "web");
    c.prototypePath = dir / "web/original.html";
    c.templatePath = dir / "templet.txt";
    c.uploaderPath = "tavmo/tavmo.exe";
    c.currentName = "diary-current.html";
    c.splitMode = mode;
    return c;
}

template <typename W>
W* Find(QWidget& dialog, const char* id) {
    W* w = dialog.findChild<W*>(id);
    if (!w) qFatal("control %s missing", id);
    return w;
}

bool Enabled(QWidget& dialog, const char* id) { return Find<QWidget>(dialog, id)->isEnabled(); }

}  // namespace

class PathSettingsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { SetFixedClock(ParseLocalTime("2003-03-05 10:00:00")); }
    void cleanup() { SetFixedClock(std::nullopt); }

    void modeZeroShowsThePrototypeAndDisablesRollingControls() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 0);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        QCOMPARE(dialog.windowTitle(), QString("my.ini"));
        QVERIFY(Find<QRadioButton>(dialog, "id2000")->isChecked());
        QCOMPARE(Find<QLineEdit>(dialog, "id1014")->text(), Q(config.prototypePath));
        for (const char* id :
             {"id1025", "id1026", "id1014", "id1027", "id1086", "id1089", "id1075", "id1090"}) {
            QVERIFY2(!Enabled(dialog, id), id);
        }
        QVERIFY(Enabled(dialog, "id1036"));
        QVERIFY(Enabled(dialog, "id1037"));
        QCOMPARE(Key(config.configIniPath, "QUILL"), Q(config.prototypePath));
    }

    void switchingModesNamesTodaysPageWithoutCreatingIt() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 0);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);

        Find<QRadioButton>(dialog, "id2001")->click();
        const std::string monthly = dir / "web/diary03-Mar.html";
        QCOMPARE(config.splitMode, 1);
        QCOMPARE(Find<QLineEdit>(dialog, "id1014")->text(), Q(monthly));
        QCOMPARE(Key(config.configIniPath, "QUILL"), Q(monthly));
        QCOMPARE(Key(config.configIniPath, "EDIT"), QString("1"));
        QVERIFY(!std::filesystem::exists(monthly));
        for (const char* id : {"id1025", "id1026", "id1014", "id1027", "id1075", "id1090"}) {
            QVERIFY2(Enabled(dialog, id), id);
        }
        // No current copy yet: its one-entry option stays off.
        QVERIFY(!Enabled(dialog, "id1086"));
        QVERIFY(!Enabled(dialog, "id1089"));

        Find<QRadioButton>(dialog, "id2003")->click();
        QCOMPARE(Key(config.configIniPath, "QUILL"), Q(dir / "web/diary03-Mar-first.html"));
        Find<QRadioButton>(dialog, "id2002")->click();
        QCOMPARE(Key(config.configIniPath, "QUILL"), Q(dir / "web/diary03-Mar-09.html"));
        QCOMPARE(Key(config.configIniPath, "EDIT"), QString("2"));

        Find<QRadioButton>(dialog, "id2000")->click();
        QCOMPARE(Q(config.diaryPage), Q(config.prototypePath));
        QCOMPARE(Key(config.configIniPath, "EDIT"), QString("0"));
        QVERIFY(!Enabled(dialog, "id1027"));
        QVERIFY(!Enabled(dialog, "id1025"));
    }

    void copyOptionsFollowTheirCheckBoxes() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        config.alwaysOne = 1;  // ignored while no current copy is made
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        QVERIFY(Find<QCheckBox>(dialog, "id1086")->isChecked());
        QVERIFY(!Enabled(dialog, "id1086"));

        Find<QCheckBox>(dialog, "id1027")->click();
        QCOMPARE(config.makeCurrentCopy, 1);
        QCOMPARE(Key(config.configIniPath, "CURRENT"), QString("1"));
        QVERIFY(Enabled(dialog, "id1086"));
        QVERIFY(Enabled(dialog, "id1089"));

        Find<QCheckBox>(dialog, "id1086")->click();
        QCOMPARE(config.alwaysOne, 0);
        QCOMPARE(Key(config.configIniPath, "ALWAYS1"), QString("0"));

        Find<QCheckBox>(dialog, "id1027")->click();
        QCOMPARE(Key(config.configIniPath, "CURRENT"), QString("0"));
        QVERIFY(!Enabled(dialog, "id1086"));
    }

    void prototypeInAnotherFolderMovesTheShownPage() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        QCOMPARE(Q(config.diaryPage), Q(dir / "web/diary03-Mar.html"));

        io.fileNames.push_back(Q(dir / "other/proto.html"));
        Find<QPushButton>(dialog, "id1005")->click();
        const std::string moved = dir / "other/diary03-Mar.html";
        QCOMPARE(Q(config.prototypePath), Q(dir / "other/proto.html"));
        QCOMPARE(Q(config.diaryFolder), Q(dir / "other/"));
        QCOMPARE(Find<QLineEdit>(dialog, "id1024")->text(), Q(dir / "other/proto.html"));
        QCOMPARE(Find<QLineEdit>(dialog, "id1014")->text(), Q(moved));
        QCOMPARE(Key(config.configIniPath, "ORIGINAL"), Q(dir / "other/proto.html"));
        QCOMPARE(Key(config.configIniPath, "QUILL"), Q(moved));
        QVERIFY(io.fileChooserFilters.back().contains("*.htm"));

        // The other paths leave the page alone.
        io.fileNames.push_back(Q(dir / "third/log.html"));
        Find<QPushButton>(dialog, "id1026")->click();
        io.fileNames.push_back(Q(dir / "third/t.txt"));
        Find<QPushButton>(dialog, "id1008")->click();
        io.fileNames.push_back(Q(dir / "third/tool"));
        Find<QPushButton>(dialog, "id1009")->click();
        QCOMPARE(Find<QLineEdit>(dialog, "id1014")->text(), Q(moved));
        QCOMPARE(Key(config.configIniPath, "LOG"), Q(dir / "third/log.html"));
        QCOMPARE(Key(config.configIniPath, "TEMPLET"), Q(dir / "third/t.txt"));
        QCOMPARE(Key(config.configIniPath, "FTP"), Q(dir / "third/tool"));
        QCOMPARE(Find<QLineEdit>(dialog, "id1016")->text(), Q(dir / "third/tool"));
        QVERIFY(io.fileChooserFilters[2].startsWith(QString::fromUtf8("テキストファイル")));
    }

    void cancelledBrowseStillWritesTheKey() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        QCOMPARE(Key(config.configIniPath, "LOG"), Q(std::string(kAbsent)));
        io.fileNames.push_back(std::nullopt);
        Find<QPushButton>(dialog, "id1026")->click();
        QCOMPARE(Key(config.configIniPath, "LOG"), Q(std::string()));
        QVERIFY(config.logPath.empty());
    }

    void prototypeWithoutFolderPutsPagesInTheProgramFolder() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 0);
        config.prototypePath = "original.html";
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        Find<QRadioButton>(dialog, "id2001")->click();
        QCOMPARE(Q(config.diaryPage), Q(dir / "diary03-Mar.html"));
    }

    void clearingTheLogPageWritesAnEmptyValue() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        config.logPath = dir / "log.html";
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        Find<QPushButton>(dialog, "id1037")->click();
        QVERIFY(config.logPath.empty());
        QCOMPARE(Key(config.configIniPath, "LOG"), Q(std::string()));
        QCOMPARE(Find<QLineEdit>(dialog, "id1025")->text(), QString());
    }

    void okIsRefusedWithoutPrototypeButTheKeysAreWritten() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 2);
        config.prototypePath.clear();
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        Find<QPushButton>(dialog, "id1")->click();
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, QString::fromUtf8(cfgmsg::kNeedPrototypeText.data()));
        QCOMPARE(io.messages[0].caption, QString::fromUtf8(cfgmsg::kNeedPrototypeCaption.data()));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(Key(config.configIniPath, "ORIGINAL"), Q(std::string()));
        QCOMPARE(Key(config.configIniPath, "LOG"), Q(std::string()));
        QCOMPARE(Key(config.configIniPath, "TEMPLET"), Q(config.templatePath));
        QCOMPARE(Key(config.configIniPath, "FTP"), QString("tavmo/tavmo.exe"));
        QCOMPARE(Key(config.configIniPath, "EDIT"), QString("2"));

        io.fileNames.push_back(Q(dir / "web/original.html"));
        Find<QPushButton>(dialog, "id1005")->click();
        Find<QPushButton>(dialog, "id1")->click();
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void escapeRightAfterOpeningLeavesOnlyQuill() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        const std::string keys = ReadProfileKeyList(config.configIniPath, "FILEPATH", 1024);
        QVERIFY(keys == std::string("QUILL\0\0", 7));
        QVERIFY(io.messages.empty());
    }

    void renamingTheCopyShowsTheNewNameAtOnce() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 1);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        io.dialogs.push_back([](QDialog& d) {
            d.findChild<QLineEdit*>("id1082")->setText("latest.html");
            d.accept();
            return d.result();
        });
        Find<QPushButton>(dialog, "id1075")->click();
        QCOMPARE(Find<QLabel>(dialog, "id1090")->text(), QString("latest.html"));
        QCOMPARE(Key(config.configIniPath, "CURRENTNAME"), QString("latest.html"));
    }

    void logFormatButtonOpensItsDialog() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir, 0);
        ScriptedInteraction io;
        PathSettingsDialog dialog(config, io);
        Find<QPushButton>(dialog, "id1036")->click();
        QCOMPARE(io.dialogTitles, QStringList{QString::fromUtf8("ログ書式変更")});
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::PathSettingsDialogTest)
#include "path_settings_dialog_test.moc"
