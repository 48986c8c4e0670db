// The file path settings and the two dialogs it opens: the current copy's
// name and the log title format.
#include "ui/config/path_settings_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>

#include "platform/clock.h"
#include "tests/ui/config/config_test_support.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"

namespace qm::test {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct PathFolder : ProgramFolder {
    explicit PathFolder(int mode) {
        std::filesystem::create_directories(dir / "web");
        config.prototypePath = dir / "web/original.html";
        config.splitMode = mode;
    }
    QString PageBox(PathSettingsDialog& d) { return Find<QLineEdit>(d, "id1014").text(); }
};

void ExpectEnabled(QWidget& dialog, std::initializer_list<const char*> ids, bool enabled) {
    for (const char* id : ids) QVERIFY2(Find(dialog, id).isEnabled() == enabled, id);
}

// One scripted CurrentNameDialog: types `name` and presses OK or Cancel,
// noting what its new-name box held first.
std::function<int(QDialog&)> TypeName(const QString& name, bool ok, QStringList* boxesSeen) {
    return [=](QDialog& d) {
        auto& box = Find<QLineEdit>(d, "id1082");
        if (boxesSeen) *boxesSeen << box.text();
        box.setText(name);
        Click(d, ok ? "id1" : "id2");
        return d.result();
    };
}

QString StoredTitle(const ActiveConfig& c) {
    return Stored(c.systemIniPath, "LOGSETTING", "TITLE");
}

}  // namespace

class PathSettingsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { SetFixedClock(ParseLocalTime("2003-03-05 10:00:00")); }
    void cleanup() { SetFixedClock(std::nullopt); }

    void modeZeroShowsThePrototypeAndDisablesRollingControls() {
        PathFolder f(0);
        PathSettingsDialog dialog(f.config, f.io);
        QCOMPARE(dialog.windowTitle(), QString("my.ini"));
        QVERIFY(Find<QAbstractButton>(dialog, "id2000").isChecked());
        QCOMPARE(f.PageBox(dialog), Q(f.config.prototypePath));
        ExpectEnabled(
            dialog,
            {"id1025", "id1026", "id1014", "id1027", "id1086", "id1089", "id1075", "id1090"},
            false);
        ExpectEnabled(dialog, {"id1036", "id1037"}, true);
        QCOMPARE(f.Key("QUILL"), Q(f.config.prototypePath));
        Click(dialog, "id1036");
        QCOMPARE(f.io.dialogTitles, QStringList{U(cfgmsg::kLogFormatCaption)});
    }

    void switchingModesNamesEachPageWithoutCreatingIt() {
        PathFolder f(0);
        PathSettingsDialog dialog(f.config, f.io);
        const struct {
            const char* radio;
            int mode;
            std::string page;
        } rows[] = {{"id2001", 1, f.dir / "web/diary03-Mar.html"},
                    {"id2003", 3, f.dir / "web/diary03-Mar-first.html"},
                    {"id2002", 2, f.dir / "web/diary03-Mar-09.html"},
                    {"id2000", 0, f.config.prototypePath}};
        for (const auto& row : rows) {
            Click(dialog, row.radio);
            QCOMPARE(f.config.splitMode, row.mode);
            QCOMPARE(f.PageBox(dialog), Q(row.page));
            QCOMPARE(f.Key("QUILL"), Q(row.page));
            QCOMPARE(f.Key("EDIT"), QString::number(row.mode));
            if (row.mode != 0) QVERIFY(!std::filesystem::exists(row.page));
            ExpectEnabled(dialog, {"id1025", "id1026", "id1014", "id1027", "id1075", "id1090"},
                          row.mode != 0);
            // No current copy made yet: its one-entry option stays off.
            ExpectEnabled(dialog, {"id1086", "id1089"}, false);
        }
    }

    void copyOptionsFollowTheirCheckBoxes() {
        PathFolder f(1);
        f.config.alwaysOne = 1;
        PathSettingsDialog dialog(f.config, f.io);
        QVERIFY(Find<QAbstractButton>(dialog, "id1086").isChecked());
        Click(dialog, "id1027");
        QCOMPARE(f.Key("CURRENT"), QString("1"));
        ExpectEnabled(dialog, {"id1086", "id1089"}, true);
        Click(dialog, "id1086");
        QCOMPARE(f.config.alwaysOne, 0);
        QCOMPARE(f.Key("ALWAYS1"), QString("0"));
        Click(dialog, "id1027");
        QCOMPARE(f.Key("CURRENT"), QString("0"));
        ExpectEnabled(dialog, {"id1086"}, false);
    }

    void prototypeInAnotherFolderMovesThePageButOtherPathsDoNot() {
        PathFolder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        f.io.fileNames.push_back(Q(f.dir / "other/proto.html"));
        Click(dialog, "id1005");
        const std::string moved = f.dir / "other/diary03-Mar.html";
        QCOMPARE(Q(f.config.diaryFolder), Q(f.dir / "other/"));
        QCOMPARE(Find<QLineEdit>(dialog, "id1024").text(), Q(f.dir / "other/proto.html"));
        QCOMPARE(f.Key("ORIGINAL"), Q(f.dir / "other/proto.html"));
        QCOMPARE(f.PageBox(dialog), Q(moved));
        QCOMPARE(f.Key("QUILL"), Q(moved));

        const struct {
            const char* button;
            std::optional<QString> chosen;
            const char* key;
            QString stored;
        } rows[] = {{"id1026", Q(f.dir / "t/log.html"), "LOG", Q(f.dir / "t/log.html")},
                    {"id1008", Q(f.dir / "t/t.txt"), "TEMPLET", Q(f.dir / "t/t.txt")},
                    {"id1009", Q(f.dir / "t/tool"), "FTP", Q(f.dir / "t/tool")},
                    {"id1009", U("/t/\xF0\x9F\x98\x80"), "FTP", Q(f.dir / "t/tool")},
                    {"id1026", std::nullopt, "LOG", Q(f.dir / "t/log.html")}};  // cancelled
        for (const auto& row : rows) {
            f.io.fileNames.push_back(row.chosen);
            Click(dialog, row.button);
            QCOMPARE(f.Key(row.key), row.stored);
        }
        QCOMPARE(f.PageBox(dialog), Q(moved));
        QCOMPARE(Find<QLineEdit>(dialog, "id1016").text(), Q(f.dir / "t/tool"));
        f.ExpectLastMessage(1,
                            "/t/\xF0\x9F\x98\x80\nこのパスにはShift-JISで表せない文字が入って"
                            "いるので設定できません。",
                            cfgmsg::kPathNotCp932Caption);
        QVERIFY(f.io.fileChooserFilters[0].contains("*.htm"));
        QVERIFY(f.io.fileChooserFilters[2].startsWith(U("テキストファイル")));
    }

    void prototypeWithoutFolderPutsPagesInTheProgramFolder() {
        PathFolder f(0);
        f.config.prototypePath = "original.html";
        PathSettingsDialog dialog(f.config, f.io);
        Click(dialog, "id2001");
        QCOMPARE(Q(f.config.diaryPage), Q(f.dir / "diary03-Mar.html"));
    }

    void clearingTheLogPageWritesAnEmptyValue() {
        PathFolder f(1);
        f.config.logPath = f.dir / "log.html";
        PathSettingsDialog dialog(f.config, f.io);
        Click(dialog, "id1037");
        QVERIFY(f.config.logPath.empty());
        QCOMPARE(f.Key("LOG"), QString());
        QCOMPARE(Find<QLineEdit>(dialog, "id1025").text(), QString());
    }

    void okIsRefusedWithoutTemplateOrPrototypeButTheKeysAreWritten() {
        for (bool noTemplate : {true, false}) {
            PathFolder f(2);
            (noTemplate ? f.config.templatePath : f.config.prototypePath).clear();
            PathSettingsDialog dialog(f.config, f.io);
            Click(dialog, "id1");
            f.ExpectLastMessage(1, cfgmsg::kNeedPrototypeText, cfgmsg::kNeedPrototypeCaption);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(f.Key("ORIGINAL"), Q(f.config.prototypePath));
            QCOMPARE(f.Key("TEMPLET"), Q(f.config.templatePath));
            QCOMPARE(f.Key("LOG"), QString());
            QCOMPARE(f.Key("FTP"), QString("tavmo/tavmo.exe"));
            QCOMPARE(f.Key("EDIT"), QString("2"));

            f.io.fileNames.push_back(Q(f.dir / "web/file.html"));
            Click(dialog, noTemplate ? "id1008" : "id1005");
            Click(dialog, "id1");
            QCOMPARE(f.io.messages.size(), std::size_t(1));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
    }

    void escapeRightAfterOpeningLeavesOnlyQuill() {
        PathFolder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(ReadProfileKeyList(f.config.configIniPath, "FILEPATH", 1024) ==
                std::string("QUILL\0\0", 7));
        QVERIFY(f.io.messages.empty());
    }

    void renamingTheCopyShowsTheNewNameAtOnce() {
        PathFolder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        f.io.dialogs.push_back(TypeName("latest.html", true, nullptr));
        Click(dialog, "id1075");
        QCOMPARE(Find<QLabel>(dialog, "id1090").text(), QString("latest.html"));
        QCOMPARE(f.Key("CURRENTNAME"), QString("latest.html"));
    }

    // The limit is 100 Shift-JIS bytes: a refused name asks again with an
    // empty box, and an accepted one is stored at once.
    void currentNameIsAskedForUntilItFits() {
        ProgramFolder f;
        const QString a100 = QString(96, 'a') + ".htm", ja50(50, QChar(0x3042));  // あ: 2 bytes
        const struct {
            QString typed;
            std::string_view refusal;
        } refused[] = {{QString(101, 'a'), cfgmsg::kNameTooLongText},
                       {ja50 + QChar(0x3042), cfgmsg::kNameTooLongText},
                       {U("\xF0\x9F\x98\x80.html"), cfgmsg::kNameNotCp932Text}};
        QStringList boxes;
        for (const auto& row : refused) f.io.dialogs.push_back(TypeName(row.typed, true, &boxes));
        f.io.dialogs.push_back(TypeName(a100, true, &boxes));
        QVERIFY(RenameCurrentCopy(nullptr, f.config, f.io));
        QCOMPARE(boxes, QStringList({"", "", "", ""}));
        QCOMPARE(f.io.messages.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(f.io.messages[i].text, U(refused[i].refusal));
            QCOMPARE(f.io.messages[i].caption, U(cfgmsg::kAppName));
        }
        QCOMPARE(f.Key("CURRENTNAME"), a100);
        QCOMPARE(f.io.dialogTitles.front(), U(cfgmsg::kCurrentNameCaption));

        f.io.dialogs.push_back(TypeName(ja50, true, nullptr));
        QVERIFY(RenameCurrentCopy(nullptr, f.config, f.io));
        QCOMPARE(f.config.currentName.size(), std::size_t(100));
        QCOMPARE(f.Key("CURRENTNAME"), ja50);
    }

    void emptyOrCancelledNameChangesNothing() {
        for (bool ok : {true, false}) {
            ProgramFolder f;
            f.io.dialogs.push_back(TypeName(ok ? "" : "typed.html", ok, nullptr));
            f.io.dialogs.push_back(TypeName("never.html", true, nullptr));
            QVERIFY(!RenameCurrentCopy(nullptr, f.config, f.io));
            QCOMPARE(f.io.dialogs.size(), std::size_t(1));  // not asked again
            if (ok) f.ExpectLastMessage(1, cfgmsg::kNoInputText, cfgmsg::kAppName);
            if (!ok) QVERIFY(f.io.messages.empty());
            QCOMPARE(Q(f.config.currentName), QString("diary-current.html"));
            QVERIFY(!std::filesystem::exists(f.config.configIniPath));
        }
    }

    void logFormatShowsDefaultAndTokensAndEscapeWritesNothing() {
        ProgramFolder f;
        LogFormatDialog dialog(f.config);
        QCOMPARE(dialog.windowTitle(), U(cfgmsg::kLogFormatCaption));
        QCOMPARE(Find<QLineEdit>(dialog, "id1038").text(), U("*m月*d日以降の日記"));
        const QString tokens = Find<QPlainTextEdit>(dialog, "id1040").toPlainText();
        QVERIFY(
            tokens.startsWith(U("西暦（2XXX）\t*Y\t西暦（XX）\t\t*y\n月の正式名(January)\t*B")));
        QVERIFY(tokens.contains(U("\n月の日付(01～31) \t*d\t漢字で表す日(一)\t*n\n")));
        QVERIFY(tokens.endsWith(U("\n文字としての*\t**")));
        QCOMPARE(tokens.count('\n'), 6);
        Find<QLineEdit>(dialog, "id1038").setText("*Y");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!std::filesystem::exists(f.config.systemIniPath));
    }

    void logFormatSavesWhatWasTyped() {
        ProgramFolder f;
        // Saves `typed` (or the default after Reset) and reopens the dialog.
        const auto save = [&](const QString& typed, bool reset = false) {
            {
                LogFormatDialog dialog(f.config);
                Find<QLineEdit>(dialog, "id1038").setText(typed);
                if (reset) Click(dialog, "id1039");
                Click(dialog, "id1");
            }
            LogFormatDialog reopened(f.config);
            return Find<QLineEdit>(reopened, "id1038").text();
        };
        QCOMPARE(save(""), QString());  // an empty pattern stays empty
        QCOMPARE(StoredTitle(f.config), QString());
        QCOMPARE(save("", true), U("*m月*d日以降の日記"));
        QCOMPARE(save(U("*d日\xF0\x9F\x98\x80")), U("*d日&#x1F600;"));
        // 256 two-byte characters are 512 bytes: cut to 510, never mid-character.
        QCOMPARE(save(QString(256, QChar(0x65E5))), QString(255, QChar(0x65E5)));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::PathSettingsDialogTest)
#include "path_settings_dialog_test.moc"
