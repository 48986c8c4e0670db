// The configuration windows (file paths, the current copy's name, the log
// title format, the set manager), the main window's commands that start other
// programs, and the text editor those commands start.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "engine/diary_page.h"
#include "engine/host.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/process.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/common/text_editor_window.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_name_rules.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using Answer = Interaction::Answer;
using Start = std::pair<std::string, std::string>;  // program, parameters

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }
std::string Sj(std::string_view utf8) { return *Utf8ToCp932(utf8); }

// Records program starts instead of starting anything.
class RecordingHost : public Host {
  public:
    std::vector<Start> starts;
    std::deque<StartResult> startResults;  // Started when empty
    int messageCount = 0;

    void ShowMessage(std::string_view, std::string_view) override { ++messageCount; }
    bool OpenPathSettings(ActiveConfig&) override { return false; }
    bool OpenSetManager(ActiveConfig&) override { return false; }
    StartResult StartProgram(std::string_view program, std::string_view parameters) override {
        starts.emplace_back(program, parameters);
        if (startResults.empty()) return StartResult::Started;
        const StartResult result = startResults.front();
        startResults.pop_front();
        return result;
    }
};

template <typename W = QWidget>
W& Find(QObject& dialog, const char* id) {
    W* w = dialog.findChild<W*>(id);
    if (!w) qFatal("control %s missing", id);
    return *w;
}
void Click(QObject& dialog, const char* id) { Find<QAbstractButton>(dialog, id).click(); }
QString Text(QObject& dialog, const char* id) { return Find<QLineEdit>(dialog, id).text(); }

void ExpectEnabled(QWidget& dialog, std::initializer_list<const char*> ids, bool enabled) {
    for (const char* id : ids) QVERIFY2(Find(dialog, id).isEnabled() == enabled, id);
}

// A program folder with a set "my.ini" whose prototype is web/original.html.
struct Folder {
    TempDir dir;
    ActiveConfig config;
    ScriptedInteraction io;
    RecordingHost host;
    SetManagerMemory memory;

    explicit Folder(int mode = 0, std::initializer_list<const char*> sets = {}) {
        fs::create_directories(dir / "web");
        config.programDir = dir.dir();
        config.systemIniPath = dir / "QMsys.ini";
        config.configIniPath = dir / "my.ini";
        config.prototypePath = dir / "web/original.html";
        config.templatePath = dir / "templet.txt";
        config.uploaderPath = "tavmo/tavmo.exe";
        config.currentName = "diary-current.html";
        config.splitMode = mode;
        int i = 0;
        for (const char* name : sets) {
            WriteProfileString(config.systemIniPath, "INI", std::to_string(i++), name);
            WriteBytes(dir / name + ".ini", "[FILEPATH]\r\nEDIT=1\r\n");
        }
    }
    QString Key(std::string_view key) const {
        return U(*Cp932ToUtf8(
            ReadProfileString(config.configIniPath, "FILEPATH", key, "<absent>", 1024)));
    }
    std::string Entry(int i) const {
        return ReadProfileString(config.systemIniPath, "INI", std::to_string(i), "<absent>", 256);
    }
    // Exactly `count` boxes so far, the last one saying `text` under `caption`.
    void ExpectLast(std::size_t count, std::string_view text, std::string_view caption) {
        QCOMPARE(io.messages.size(), count);
        QCOMPARE(io.messages.back().text, U(text));
        QCOMPARE(io.messages.back().caption, U(caption));
    }
};

// One scripted current-name dialog: types `name` and presses OK or Cancel,
// noting the current name and the new-name box it was opened with.
std::function<int(QDialog&)> TypeName(const QString& name, bool ok, QStringList* seen = nullptr) {
    return [=](QDialog& d) {
        if (seen) *seen << Text(d, "id1081") + "|" + Text(d, "id1082");
        Find<QLineEdit>(d, "id1082").setText(name);
        Click(d, ok ? "id1" : "id2");
        return d.result();
    };
}

// The first-set view explains and offers the manuals instead of the list.
bool FirstSetView(QWidget& d, bool first) {
    const auto shown = [&d](const char* id) { return !Find(d, id).isHidden(); };
    return shown("id1057") == first && shown("id1055") == first && shown("id1056") == first &&
           shown("id1") != first && shown("id1031") != first && shown("id1020") != first;
}
QListWidget& List(QWidget& d) { return Find<QListWidget>(d, "id1020"); }
void CreateSet(QWidget& d, const QString& name) {
    Find<QLineEdit>(d, "id1030").setText(name);
    Click(d, "id1029");
}
void DeleteRow(QWidget& d, int row) {
    List(d).setCurrentRow(row);
    Click(d, "id1031");
}

void Type(TextEditorWindow& window, const QString& text) {
    window.editor()->moveCursor(QTextCursor::End);
    window.editor()->insertPlainText(text);
}

}  // namespace

class ConfigWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        SetFixedClock(ParseLocalTime("2003-03-05 10:00:00"));
        qunsetenv(kEditorVariable);  // the editor is this program unless a test names one
    }
    void cleanup() { SetFixedClock(std::nullopt); }

    // Each mode names its page (without creating it) and enables what it uses.
    void pathDialogModesNameThePageAndEnableTheirControls() {
        Folder f;
        PathSettingsDialog dialog(f.config, f.io);
        QCOMPARE(dialog.windowTitle(), QString("my.ini"));
        QVERIFY(Find<QAbstractButton>(dialog, "id2000").isChecked());
        const struct {
            const char* radio;
            int mode;
            std::string page;
        } rows[] = {{nullptr, 0, f.config.prototypePath},  // as opened
                    {"id2001", 1, f.dir / "web/diary03-Mar.html"},
                    {"id2003", 3, f.dir / "web/diary03-Mar-first.html"},
                    {"id2002", 2, f.dir / "web/diary03-Mar-09.html"},
                    {"id2000", 0, f.config.prototypePath}};
        for (const auto& row : rows) {
            if (row.radio) Click(dialog, row.radio);
            QCOMPARE(f.config.splitMode, row.mode);
            QCOMPARE(Text(dialog, "id1014"), Q(row.page));
            QCOMPARE(f.Key("QUILL"), Q(row.page));
            if (row.radio) QCOMPARE(f.Key("EDIT"), QString::number(row.mode));
            if (row.mode != 0) QVERIFY(!fs::exists(row.page));
            ExpectEnabled(dialog, {"id1025", "id1026", "id1014", "id1027", "id1075", "id1090"},
                          row.mode != 0);
            ExpectEnabled(dialog, {"id1086", "id1089"}, false);  // no current copy made yet
        }
        Click(dialog, "id1036");
        QCOMPARE(f.io.dialogTitles, QStringList{U(cfgmsg::kLogFormatCaption)});
    }

    void copyOptionsFollowTheirCheckBoxes() {
        Folder f(1);
        f.config.alwaysOne = 1;
        f.config.prototypePath = "original.html";  // pages then go beside the program
        PathSettingsDialog dialog(f.config, f.io);
        QCOMPARE(f.Key("QUILL"), Q(f.dir / "diary03-Mar.html"));
        QVERIFY(Find<QAbstractButton>(dialog, "id1086").isChecked());
        Click(dialog, "id1027");
        ExpectEnabled(dialog, {"id1086", "id1089"}, true);
        Click(dialog, "id1086");
        QCOMPARE(f.Key("CURRENT"), QString("1"));
        QCOMPARE(f.Key("ALWAYS1"), QString("0"));
        Click(dialog, "id1027");
        QCOMPARE(f.Key("CURRENT"), QString("0"));
        ExpectEnabled(dialog, {"id1086", "id1089"}, false);
    }

    void prototypeInAnotherFolderMovesThePageButOtherPathsDoNot() {
        Folder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        const auto P = [&f](const char* name) { return Q(f.dir / name); };
        f.io.fileNames.push_back(P("other/proto.html"));
        Click(dialog, "id1005");
        QCOMPARE(Q(f.config.diaryFolder), P("other/"));
        QCOMPARE(Text(dialog, "id1024"), P("other/proto.html"));
        QCOMPARE(f.Key("ORIGINAL"), P("other/proto.html"));
        QCOMPARE(f.Key("QUILL"), P("other/diary03-Mar.html"));

        const struct {
            const char* button;
            std::optional<QString> chosen;
            const char* key;
            QString stored;
        } rows[] = {{"id1026", P("t/log.html"), "LOG", P("t/log.html")},
                    {"id1026", std::nullopt, "LOG", P("t/log.html")},  // cancelled
                    {"id1008", P("t/t.txt"), "TEMPLET", P("t/t.txt")},
                    {"id1009", P("t/tool"), "FTP", P("t/tool")},
                    {"id1009", U("/t/\xF0\x9F\x98\x80"), "FTP", P("t/tool")}};  // refused
        for (const auto& row : rows) {
            f.io.fileNames.push_back(row.chosen);
            Click(dialog, row.button);
            QCOMPARE(f.Key(row.key), row.stored);
        }
        QCOMPARE(Text(dialog, "id1014"), P("other/diary03-Mar.html"));
        QCOMPARE(Text(dialog, "id1016"), P("t/tool"));
        f.ExpectLast(1, U(cfgmsg::kPathNotCp932Text).arg(U("/t/\xF0\x9F\x98\x80")).toStdString(),
                     cfgmsg::kPathNotCp932Caption);
        QVERIFY(f.io.fileChooserFilters[0].contains("*.htm"));
        QVERIFY(f.io.fileChooserFilters[3].startsWith(U("テキストファイル")));

        Click(dialog, "id1037");  // the log page is given up
        QCOMPARE(f.Key("LOG"), QString());
        QCOMPARE(Text(dialog, "id1025"), QString());
    }

    void okIsRefusedWithoutTemplateOrPrototypeButTheKeysAreWritten() {
        for (bool noTemplate : {true, false}) {
            Folder f(2);
            (noTemplate ? f.config.templatePath : f.config.prototypePath).clear();
            PathSettingsDialog dialog(f.config, f.io);
            Click(dialog, "id1");
            f.ExpectLast(1, cfgmsg::kNeedPrototypeText, cfgmsg::kNeedPrototypeCaption);
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
        Folder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(ReadProfileKeyList(f.config.configIniPath, "FILEPATH", 1024) ==
                std::string("QUILL\0\0", 7));
        QVERIFY(f.io.messages.empty());
    }

    // The limit is 100 Shift-JIS bytes; a refused name is asked for again with
    // an empty box, an accepted one is shown and stored at once.
    void currentNameIsAskedForUntilItFits() {
        Folder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        const QString a100 = QString(96, 'a') + ".htm", ja50(50, QChar(0x3042));  // あ: 2 bytes
        const std::pair<QString, std::string_view> refused[] = {
            {QString(101, 'a'), cfgmsg::kNameTooLongText},
            {ja50 + QChar(0x3042), cfgmsg::kNameTooLongText},
            {U("\xF0\x9F\x98\x80.html"), cfgmsg::kNameNotCp932Text}};
        QStringList seen;
        for (const auto& row : refused) f.io.dialogs.push_back(TypeName(row.first, true, &seen));
        f.io.dialogs.push_back(TypeName(a100, true, &seen));
        Click(dialog, "id1075");
        QCOMPARE(seen, QStringList(4, "diary-current.html|"));
        QCOMPARE(f.io.messages.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(f.io.messages[i].text, U(refused[i].second));
            QCOMPARE(f.io.messages[i].caption, U(cfgmsg::kAppName));
        }
        QCOMPARE(f.io.dialogTitles.front(), U(cfgmsg::kCurrentNameCaption));
        QCOMPARE(Find<QLabel>(dialog, "id1090").text(), a100);
        QCOMPARE(f.Key("CURRENTNAME"), a100);

        f.io.dialogs.push_back(TypeName(ja50, true));
        Click(dialog, "id1075");
        QCOMPARE(f.config.currentName.size(), std::size_t(100));
        QCOMPARE(f.Key("CURRENTNAME"), ja50);

        // Cancel, or OK on an empty box, changes nothing; the empty box is not asked again.
        f.io.dialogs = {TypeName("typed.html", false), TypeName("", true), TypeName("x", true)};
        Click(dialog, "id1075");
        QCOMPARE(f.io.messages.size(), std::size_t(3));
        Click(dialog, "id1075");
        QCOMPARE(f.io.dialogs.size(), std::size_t(1));
        f.ExpectLast(4, cfgmsg::kNoInputText, cfgmsg::kAppName);
        QCOMPARE(Find<QLabel>(dialog, "id1090").text(), ja50);
        QCOMPARE(f.Key("CURRENTNAME"), ja50);
    }

    void logFormatShowsTheTokensAndSavesWhatWasTyped() {
        Folder f;
        LogFormatDialog dialog(f.config);
        QCOMPARE(dialog.windowTitle(), U(cfgmsg::kLogFormatCaption));
        QCOMPARE(Text(dialog, "id1038"), U("*m月*d日以降の日記"));
        const QString tokens = Find<QPlainTextEdit>(dialog, "id1040").toPlainText();
        QVERIFY(
            tokens.startsWith(U("西暦（2XXX）\t*Y\t西暦（XX）\t\t*y\n月の正式名(January)\t*B")));
        QVERIFY(tokens.contains(U("\n月の日付(01～31) \t*d\t漢字で表す日(一)\t*n\n")));
        QVERIFY(tokens.endsWith(U("\n文字としての*\t**")));
        QCOMPARE(tokens.count('\n'), 6);
        Find<QLineEdit>(dialog, "id1038").setText("*Y");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!fs::exists(f.config.systemIniPath));

        // Saves `typed` (or the default after Reset) and reopens the dialog.
        const auto save = [&f](const QString& typed, bool reset = false) {
            {
                LogFormatDialog dialog(f.config);
                Find<QLineEdit>(dialog, "id1038").setText(typed);
                if (reset) Click(dialog, "id1039");
                Click(dialog, "id1");
            }
            LogFormatDialog reopened(f.config);
            return Text(reopened, "id1038");
        };
        QCOMPARE(save(""), QString());  // an empty pattern stays empty, not the default
        QCOMPARE(save("", true), U("*m月*d日以降の日記"));
        QCOMPARE(save(U("*d日\xF0\x9F\x98\x80")), U("*d日&#x1F600;"));
        // 256 two-byte characters are 512 bytes: cut to 510, never mid-character.
        QCOMPARE(save(QString(256, QChar(0x65E5))), QString(255, QChar(0x65E5)));
    }

    void firstStartLeadsToTheFirstSet() {
        Folder f;
        f.config.currentName = "old-copy.html";
        {
            SetManagerDialog first(f.config, f.memory, f.io, f.host);
            QTest::keyClick(&first, Qt::Key_Escape);
        }
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);  // told once only
        f.ExpectLast(1, cfgmsg::kNoSetText, cfgmsg::kNoSetCaption);
        QVERIFY(f.memory.firstSetPending);
        QVERIFY(FirstSetView(dialog, true));
        QCOMPARE(Text(dialog, "id1030"), U("マイだいありぃ"));
        QCOMPARE(Q(f.config.currentName), QString("diary-current.html"));

        Click(dialog, "id1029");  // the path settings open on the new set's file
        const std::string setFile = f.dir.dir() + Sj("マイだいありぃ") + ".ini";
        QVERIFY(f.config.configIniPath == setFile && fs::exists(*Cp932ToUtf8(setFile)));
        QCOMPARE(f.io.dialogTitles, QStringList{U("マイだいありぃ.ini")});
        QVERIFY(f.Entry(0) == Sj("マイだいありぃ"));
        QVERIFY(!f.memory.firstSetPending);
        QVERIFY(FirstSetView(dialog, false));
        QCOMPARE(List(dialog).count(), 1);
        QCOMPARE(List(dialog).item(0)->text(), U("マイだいありぃ"));
        QCOMPARE(Text(dialog, "id1030"), QString());
        QCOMPARE(f.io.messages.size(), std::size_t(1));
    }

    void reservedAndDuplicateSetNamesAreRefused() {
        Folder f(0, {"Diary", "Work"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        QVERIFY(FirstSetView(dialog, false));
        CreateSet(dialog, "qMsYs");
        f.ExpectLast(1, cfgmsg::kReservedText, cfgmsg::kReservedCaption);
        CreateSet(dialog, "Work");
        f.ExpectLast(2, cfgmsg::kDuplicateText, cfgmsg::kDuplicateCaption);
        QCOMPARE(List(dialog).count(), 2);
        QCOMPARE(Text(dialog, "id1030"), QString());
        QVERIFY(f.io.dialogTitles.isEmpty());

        CreateSet(dialog, "work");    // another case is another name
        CreateSet(dialog, "QMsys2");  // merely begins with the reserved one
        QCOMPARE(f.io.messages.size(), std::size_t(2));
        QVERIFY(f.Entry(2) == "work" && f.Entry(3) == "QMsys2");
        QCOMPARE(f.io.dialogTitles, QStringList({"work.ini", "QMsys2.ini"}));
    }

    void unusableSetFileNamesAreRefused() {
        Folder f(0, {"A"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        const std::pair<QString, std::string_view> cases[] = {
            {"a/b", cfgmsg::kSetNameSeparatorText},
            {"a\\b", cfgmsg::kSetNameSeparatorText},
            {"..", cfgmsg::kSetNameDotsText},
            {" lead", cfgmsg::kSetNameBlankEdgeText},
            {"a\tb", cfgmsg::kSetNameControlText},
            {QString(252, 'x'), cfgmsg::kSetNameTooLongText},           // 256 bytes with ".ini"
            {QString(90, QChar(0x65E5)), cfgmsg::kSetNameTooLongText},  // 270 UTF-8 bytes
            {U("日記\xF0\x9F\x98\x80"), cfgmsg::kSetNameNotCp932Text},
        };
        std::size_t shown = 0;
        for (const auto& [name, text] : cases) {
            CreateSet(dialog, name);
            f.ExpectLast(++shown, text, cfgmsg::kBadSetNameCaption);
            QCOMPARE(List(dialog).count(), 1);
            QCOMPARE(Text(dialog, "id1030"), QString());
        }
        QVERIFY(f.io.dialogTitles.isEmpty());
        CreateSet(dialog, QString(251, 'x'));  // the longest that fits: 255 bytes with ".ini"
        CreateSet(dialog, U("十月"));          // its second byte 0x5C is no folder separator
        QCOMPARE(f.io.messages.size(), shown);
        QCOMPARE(List(dialog).count(), 3);
        const std::string longFolder = "/" + std::string(4080, 'd') + "/";
        QCOMPARE(CheckSetName("short", longFolder), SetNameVerdict::Usable);
        QCOMPARE(CheckSetName(std::string(20, 'n'), longFolder), SetNameVerdict::PathTooLong);
    }

    void deletingSetsRemovesOnlyTheirOwnFiles() {
        Folder f(0, {"A", "B", "C"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        Click(dialog, "id1031");  // nothing selected: nothing happens
        QCOMPARE(List(dialog).count(), 3);
        DeleteRow(dialog, 1);
        QVERIFY(!fs::exists(f.dir / "B.ini"));
        QVERIFY(fs::exists(f.dir / "A.ini") && fs::exists(f.dir / "C.ini"));
        QVERIFY(f.Entry(0) == "A" && f.Entry(1) == "C" && f.Entry(2) == "<absent>");
        QCOMPARE(List(dialog).item(1)->text(), QString("C"));

        // Hand-edited entries lose their line but never the files they name.
        WriteProfileString(f.config.systemIniPath, "INI", "2", "qmsys");
        WriteProfileString(f.config.systemIniPath, "INI", "3", "web/original");
        WriteBytes(f.dir / "web/original.ini", "keep");
        SetManagerDialog again(f.config, f.memory, f.io, f.host);
        DeleteRow(again, 3);
        DeleteRow(again, 2);
        QCOMPARE(List(again).count(), 2);
        QVERIFY(fs::exists(f.config.systemIniPath) && fs::exists(f.dir / "web/original.ini"));
        QVERIFY(f.io.messages.empty());

        DeleteRow(again, 1);
        DeleteRow(again, 0);  // the last set: back to the first-set view
        QVERIFY(!fs::exists(f.dir / "A.ini") && !fs::exists(f.dir / "C.ini"));
        f.ExpectLast(1, cfgmsg::kNoSetText, cfgmsg::kNoSetCaption);
        QVERIFY(FirstSetView(again, true));
        QVERIFY(f.memory.firstSetPending);
    }

    void manualButtonsOpenTheFilesBesideTheProgram() {
        Folder f;
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        Click(dialog, "id1055");
        f.ExpectLast(2, f.dir.dir() + "とりせつ.txtがみつかりません。", cfgmsg::kNoManualCaption);
        Click(dialog, "id1056");
        f.ExpectLast(3, cfgmsg::kNoHtmlManualText, cfgmsg::kNoHtmlManualCaption);
        WriteBytes(f.dir / "とりせつ.txt", "manual");
        WriteBytes(f.dir / "とりせつ.html", "<html></html>");
        Click(dialog, "id1055");
        Click(dialog, "id1056");
        QCOMPARE(f.io.messages.size(), std::size_t(3));
        const decltype(f.host.starts) starts = {
            {"xdg-open", "\"" + f.dir.dir() + Sj("とりせつ.txt") + "\""},
            {"xdg-open", "\"" + f.dir.dir() + Sj("とりせつ.html") + "\""}};
        QVERIFY(f.host.starts == starts);
    }

    void uploaderSetupStartsTheToolWithSet() {
        Folder f;
        f.host.startResults = {StartResult::Started, StartResult::NotFound, StartResult::Failed};
        for (int i = 0; i < 3; ++i) StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(3));
        QVERIFY(f.host.starts[0] == Start("tavmo/tavmo.exe", "/set"));
        // Only a missing tool is reported.
        f.ExpectLast(1, "tavmo/tavmo.exeがみつかりません。", "パスが違うよ");

        f.config.uploaderPath.clear();
        StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(3));
        f.ExpectLast(2, "tavmoの場所を指定していません。", "設定してないよ");
    }

    void imageBrowseAppendsInOrder() {
        RunState run;
        ScriptedInteraction io;
        QLineEdit imageBox, altBox;
        altBox.setEnabled(false);
        io.fileNames = {QString("/img/a.jpg"), QString("/img/b.png"), std::nullopt,
                        U("/img/\xF0\x9F\x98\x80.png")};
        QVERIFY(ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QCOMPARE(imageBox.text(), QString("a.jpg"));
        QVERIFY(ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(io.messages.empty());
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));  // not Shift-JIS
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(run.imageUploadList == "/img/a.jpg\" \"/img/b.png");
        QCOMPARE(imageBox.text(), QString("b.png"));
        QVERIFY(altBox.isEnabled());
        QVERIFY(io.fileChooserFilters[0].contains("*.jpg *.jpeg *.gif *.png"));
    }

    void editorIsThisProgramOrTheChosenOneWithTheAbsolutePath() {
        Folder f;
        f.config.templatePath = "my templet.txt";  // relative, with a blank
        f.config.diaryPage = f.dir / "a \"quoted\" page.html";
        f.host.startResults = {StartResult::Started, StartResult::Started, StartResult::NotFound,
                               StartResult::NotFound};
        EditTemplate(nullptr, f.config, f.io, f.host);
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QVERIFY(f.host.starts[0].first == "/proc/self/exe");
        const std::vector<std::string> templateWords = {
            "edit", fs::current_path().string() + "/my templet.txt"};
        const std::vector<std::string> pageWords = {"edit", f.config.diaryPage};
        QVERIFY(SplitCommandLine(f.host.starts[0].second) == templateWords);
        QVERIFY(SplitCommandLine(f.host.starts[1].second) == pageWords);
        QVERIFY(f.io.messages.empty());

        EditTemplate(nullptr, f.config, f.io, f.host);
        const auto self = fs::read_symlink("/proc/self/exe").string();
        f.ExpectLast(1, self + "がみつかりません。", "パスが違うよ");
        qputenv(kEditorVariable, "no-such-editor");
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QVERIFY(f.host.starts.back().first == "no-such-editor");
        QVERIFY(SplitCommandLine(f.host.starts.back().second) ==
                std::vector<std::string>{f.config.diaryPage});
        f.ExpectLast(2, "no-such-editorがみつかりません。", "パスが違うよ");

        f.config.diaryPage.clear();
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(4));
        f.ExpectLast(3, cfgmsg::kNoFileToEditText, cfgmsg::kNoUploaderCaption);
    }

    void pathSettingsCommandSelectsThePageHoweverClosed() {
        Folder f;
        WriteBytes(f.config.prototypePath, "<html><!-- proto --></html>");
        RunState run;
        f.io.dialogs.push_back([](QDialog& d) {
            Click(d, "id2001");
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        EditFilePaths(nullptr, f.config, run, f.io, f.host);
        // The dialog only named the page; the selection afterwards made it.
        QVERIFY(f.config.diaryPage == f.dir / "web/diary03-Mar.html");
        QVERIFY(fs::exists(f.config.diaryPage));
        QCOMPARE(f.host.messageCount, 1);
    }

    // Shift-JIS in and out, each file keeping its own line ends and a page
    // its closing NUL; a missing file is created on saving.
    void editorRoundTripsShiftJis() {
        const struct {
            std::optional<std::string> before;
            QString shown, typed;
            std::string after;
        } rows[] = {
            {Sj("<p>日記</p>\r\n<!-- ここ -->\r\n") + std::string("\0old tail", 9),
             U("<p>日記</p>\n<!-- ここ -->\n"), U("表示\n"),
             Sj("<p>日記</p>\r\n<!-- ここ -->\r\n表示\r\n") + std::string(1, '\0')},
            {Sj("*T\n本文\n"), U("*T\n本文\n"), "x", Sj("*T\n本文\nx")},
            {std::nullopt, "", U("一行目\n二行目"), Sj("一行目\r\n二行目")},
        };
        for (const auto& row : rows) {
            TempDir dir;
            const std::string path = dir / "file.html";
            if (row.before) WriteBytes(path, *row.before);
            ScriptedInteraction io;
            TextEditorWindow window(path, io);
            QVERIFY(window.Load());
            QCOMPARE(window.editor()->toPlainText(), row.shown);
            Type(window, row.typed);
            QVERIFY(window.Save());
            QVERIFY(ReadBytes(path) == row.after);
            QVERIFY(io.messages.empty());
        }
    }

    void editorNeverLosesWhatTheFileHolds() {
        TempDir dir;
        const std::string path = dir / "page.html";
        ScriptedInteraction io;
        WriteBytes(path, "ok \x82");  // a lead byte with nothing after it
        QVERIFY(!TextEditorWindow(path, io).Load());
        QCOMPARE(io.messages.size(), std::size_t(1));

        WriteBytes(path, "old\r\n");
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        WriteBytes(path, "old\r\nnew entry\r\n");  // a generate meanwhile
        Type(window, U("\xF0\x9F\x98\x80"));
        // Asked first about character references, then whether to overwrite.
        io.answers = {Answer::No, Answer::Yes, Answer::No, Answer::Yes, Answer::Yes};
        QVERIFY(!window.Save());
        QVERIFY(!window.Save());
        QVERIFY(ReadBytes(path) == "old\r\nnew entry\r\n");
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) == "old\r\n&#x1F600;");
        QCOMPARE(io.messages.size(), std::size_t(6));
    }

    void closingWithUnsavedChangesAsks() {
        TempDir dir;
        const std::string path = dir / "t.txt";
        WriteBytes(path, "keep");
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        window.show();
        QVERIFY(window.close());  // unchanged: closes without a question
        QVERIFY(io.messages.empty());

        window.show();
        Type(window, "!");
        io.answers = {Answer::Cancel, Answer::No, Answer::Yes};
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QVERIFY(window.close());
        QVERIFY(ReadBytes(path) == "keep");
        window.show();
        QVERIFY(window.close());
        QVERIFY(ReadBytes(path) == "keep!");
        QCOMPARE(io.messages.size(), std::size_t(3));
        QCOMPARE(io.messages[0].text, U("t.txt への変更を保存しますか？"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ConfigWindowsTest)
#include "config_windows_test.moc"
