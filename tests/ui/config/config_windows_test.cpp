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

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/process.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"
#include "ui/common/text_editor_window.h"
#include "ui/config/config_commands.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/path_settings_dialog.h"
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

    void ShowMessage(std::string_view, std::string_view) override {}
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

// The desktop's trash in a folder of the test's own ($HOME and
// $XDG_DATA_HOME), or a trash that cannot be made.
class DesktopTrash {
  public:
    explicit DesktopTrash(const std::string& home, bool usable = true)
        : savedHome_(qgetenv("HOME")), savedData_(qgetenv("XDG_DATA_HOME")), home_(home) {
        fs::create_directories(home);
        qputenv("HOME", QByteArray::fromStdString(home));
        // A plain file where the data folder should be: no trash can be made.
        if (!usable) WriteBytes(home + "/data", "");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home + "/data"));
    }
    ~DesktopTrash() {
        qputenv("HOME", savedHome_);
        if (savedData_.isEmpty()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", savedData_);
        }
    }
    std::string files() const { return home_ + "/data/Trash/files/"; }
    std::string info() const { return home_ + "/data/Trash/info/"; }

  private:
    QByteArray savedHome_, savedData_;
    std::string home_;
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
        config.splitMode = SplitMode{mode};
        int i = 0;
        for (const char* name : sets) {
            if (!WriteProfileString(config.systemIniPath, "INI", std::to_string(i++), name))
                qFatal("cannot write the set list");
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

std::function<int(QDialog&)> TypeName(const QString& name) {
    return [=](QDialog& d) {
        Find<QLineEdit>(d, "id1082").setText(name);
        Click(d, "id1");
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

    // A rolling mode names its page (without creating it) and enables what it uses.
    void pathDialogModesNameThePageAndEnableTheirControls() {
        Folder f;
        PathSettingsDialog dialog(f.config, f.io);
        const auto expect = [&](int mode, const std::string& page) {
            QCOMPARE(static_cast<int>(f.config.splitMode), mode);
            QCOMPARE(Text(dialog, "id1014"), Q(page));
            QCOMPARE(f.Key("QUILL"), Q(page));
            ExpectEnabled(dialog, {"id1025", "id1026", "id1014", "id1027", "id1075", "id1090"},
                          mode != 0);
        };
        expect(0, f.config.prototypePath);
        Click(dialog, "id2001");
        expect(1, f.dir / "web/diary03-Mar.html");
        QCOMPARE(f.Key("EDIT"), QString("1"));
        QVERIFY(!fs::exists(f.dir / "web/diary03-Mar.html"));
    }

    void okIsRefusedWithoutTemplate() {
        Folder f(2);
        f.config.templatePath.clear();
        PathSettingsDialog dialog(f.config, f.io);
        Click(dialog, "id1");
        f.ExpectLast(1, cfgmsg::kNeedPrototypeText, cfgmsg::kNeedPrototypeCaption);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        f.io.fileNames.push_back(Q(f.dir / "t.txt"));
        Click(dialog, "id1008");
        Click(dialog, "id1");
        QCOMPARE(f.io.messages.size(), std::size_t(1));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
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

    // The limit is 100 Shift-JIS bytes; a refused name is asked for again.
    void currentNameIsAskedForUntilItFits() {
        Folder f(1);
        PathSettingsDialog dialog(f.config, f.io);
        const QString a100 = QString(96, 'a') + ".htm", ja50(50, QChar(0x3042));  // あ: 2 bytes
        f.io.dialogs = {TypeName(QString(101, 'a')), TypeName(a100)};
        Click(dialog, "id1075");
        f.ExpectLast(1, cfgmsg::kNameTooLongText, cfgmsg::kAppName);
        QCOMPARE(Find<QLabel>(dialog, "id1090").text(), a100);
        QCOMPARE(f.Key("CURRENTNAME"), a100);

        f.io.dialogs = {TypeName(ja50 + QChar(0x3042)), TypeName(ja50)};
        Click(dialog, "id1075");
        f.ExpectLast(2, cfgmsg::kNameTooLongText, cfgmsg::kAppName);
        QCOMPARE(f.config.currentName.size(), std::size_t(100));
        QCOMPARE(f.Key("CURRENTNAME"), ja50);
    }

    // Only a plain name of the diary folder that is no one else's file.
    void currentNameThatReachesAnotherFileIsAskedForAgain() {
        Folder f(1);
        f.config.diaryFolder = f.dir / "web/";
        PathSettingsDialog dialog(f.config, f.io);
        f.io.dialogs = {TypeName("../outside/victim.txt"), TypeName("QMsys.ini"),
                        TypeName("original.html"), TypeName("qmdraft.TXT"), TypeName("now.html")};
        Click(dialog, "id1075");
        QCOMPARE(f.io.messages.size(), std::size_t(4));
        QCOMPARE(f.io.messages[3].text,
                 U(cfgmsg::kCurrentNameRefusedText).arg(U(msg::kNameProgramFileReason)));
        const auto refused = [](std::string_view reason) {
            return U(cfgmsg::kCurrentNameRefusedText).arg(U(reason));
        };
        QCOMPARE(f.io.messages[0].text, refused(msg::kNameSeparatorReason));
        QCOMPARE(f.io.messages[1].text, refused(msg::kNameProgramFileReason));
        QCOMPARE(f.io.messages[2].text, refused(msg::kNameUserFileReason));
        QCOMPARE(f.io.messages[2].caption, U(cfgmsg::kAppName));
        QCOMPARE(f.Key("CURRENTNAME"), QStringLiteral("now.html"));
        QCOMPARE(f.config.currentName, std::string("now.html"));
    }

    void logFormatSavesAnEmptyPattern() {
        Folder f;
        {
            LogFormatDialog dialog(f.config, f.io);
            QCOMPARE(Text(dialog, "id1038"), U("*m月*d日以降の日記"));
            Find<QLineEdit>(dialog, "id1038").setText("");
            Click(dialog, "id1");
        }
        LogFormatDialog reopened(f.config, f.io);
        QCOMPARE(Text(reopened, "id1038"), QString());
    }

    // A pattern left as shown keeps bytes the table has no own character
    // for; a typed ¥ goes in as a reference, since browsers show 0x5C as "\".
    void logFormatKeepsAnUntouchedPatternByteForByte() {
        Folder f;
        const std::string stored = "*m\xFD\x87\x90\x81\xE0";  // ≒ under two codes
        QVERIFY(WriteProfileString(f.config.systemIniPath, "LOGSETTING", "TITLE", stored));
        {
            LogFormatDialog dialog(f.config, f.io);
            Click(dialog, "id1");
        }
        QVERIFY(ReadProfileString(f.config.systemIniPath, "LOGSETTING", "TITLE", "", 512) ==
                stored);
        LogFormatDialog dialog(f.config, f.io);
        Find<QLineEdit>(dialog, "id1038").setText(U("¥*m"));
        Click(dialog, "id1");
        QVERIFY(ReadProfileString(f.config.systemIniPath, "LOGSETTING", "TITLE", "", 512) ==
                "&#xA5;*m");
    }

    // A name or path that would come back as another is refused by name.
    void namesAndPathsThatWouldChangeAreRefusedByName() {
        Folder f(1, {"A"});
        SetManagerDialog manager(f.config, f.memory, f.io, f.host);
        CreateSet(manager, U("日記¥2"));
        f.ExpectLast(
            1,
            "日記¥2\nこの名前にはShift-JISで表せない文字が入っています。\n別の名前にしてください。",
            cfgmsg::kBadSetNameCaption);
        QCOMPARE(List(manager).count(), 1);

        PathSettingsDialog paths(f.config, f.io);
        const std::string before = f.config.prototypePath;
        f.io.fileNames.push_back(Q(f.dir / "web") + U("/a¥b.html"));
        Click(paths, "id1005");
        f.ExpectLast(
            2,
            f.dir /
                "web/a¥b.html\nこのパスにはShift-JISで表せない文字が入っているので設定できません。",
            cfgmsg::kPathNotCp932Caption);
        QCOMPARE(f.config.prototypePath, before);

        f.io.dialogs = {TypeName(U("x〜y.html")), TypeName("now.html")};
        Click(paths, "id1075");
        f.ExpectLast(3,
                     "x〜y.html\nこのファイル名にはShift-"
                     "JISで表せない文字が入っています。\n別の名前にしようよ",
                     cfgmsg::kAppName);
        QCOMPARE(f.config.currentName, std::string("now.html"));
    }

    void firstStartLeadsToTheFirstSet() {
        Folder f;
        {
            SetManagerDialog first(f.config, f.memory, f.io, f.host);
            QTest::keyClick(&first, Qt::Key_Escape);
        }
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);  // told once only
        f.ExpectLast(1, cfgmsg::kNoSetText, cfgmsg::kNoSetCaption);
        QVERIFY(FirstSetView(dialog, true));
        CreateSet(dialog, U("マイだいありぃ"));  // the path settings open on the new set's file
        const std::string setFile = f.dir.dir() + Sj("マイだいありぃ") + ".ini";
        QVERIFY(f.config.configIniPath == setFile && fs::exists(*Cp932ToUtf8(setFile)));
        QCOMPARE(f.io.dialogTitles, QStringList{U("マイだいありぃ.ini")});
        QVERIFY(f.Entry(0) == Sj("マイだいありぃ"));
        QVERIFY(FirstSetView(dialog, false));
        QCOMPARE(List(dialog).count(), 1);
        QCOMPARE(f.io.messages.size(), std::size_t(1));
    }

    void unusableSetNamesAreRefused() {
        Folder f(0, {"Diary", "Work"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        CreateSet(dialog, "qMsYs");
        f.ExpectLast(1, cfgmsg::kReservedText, cfgmsg::kReservedCaption);
        CreateSet(dialog, "Work");
        f.ExpectLast(2, cfgmsg::kDuplicateText, cfgmsg::kDuplicateCaption);
        CreateSet(dialog, "a/b");
        f.ExpectLast(3, cfgmsg::kSetNameSeparatorText, cfgmsg::kBadSetNameCaption);
        QCOMPARE(List(dialog).count(), 2);
        QVERIFY(f.Entry(2) == "<absent>" && !fs::exists(f.dir / "a"));
        QVERIFY(f.io.dialogTitles.isEmpty());
    }

    // The deleted set's file goes to the trash, whence the user can fetch it back.
    void deletingTheMiddleSetMovesItsFileToTheTrash() {
        Folder f(0, {"A", "B", "C"});
        const DesktopTrash trash(f.dir / "home");
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        List(dialog).setCurrentRow(1);
        Click(dialog, "id1031");
        QVERIFY(!fs::exists(f.dir / "B.ini"));
        QVERIFY(ReadBytes(trash.files() + "B.ini") == "[FILEPATH]\r\nEDIT=1\r\n");
        QVERIFY(fs::exists(trash.info() + "B.ini.trashinfo"));
        QVERIFY(fs::exists(f.dir / "A.ini") && fs::exists(f.dir / "C.ini"));
        QVERIFY(f.Entry(0) == "A" && f.Entry(1) == "C" && f.Entry(2) == "<absent>");
        QCOMPARE(List(dialog).item(1)->text(), QString("C"));
        QVERIFY(f.io.messages.empty());
    }

    // Without a trash to take it the file stays, and the user is told where.
    void aSetFileTheTrashCannotTakeStaysAndIsNamed() {
        Folder f(0, {"A", "B"});
        const DesktopTrash trash(f.dir / "home", /*usable=*/false);
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        List(dialog).setCurrentRow(0);
        Click(dialog, "id1031");
        QVERIFY(fs::exists(f.dir / "A.ini"));
        QVERIFY(f.Entry(0) == "B" && f.Entry(1) == "<absent>");
        f.ExpectLast(1,
                     (f.dir / "A.ini") + "\nをごみ箱に移せなかったので、そのまま残してあります。",
                     cfgmsg::kNotTrashedCaption);
    }

    // A settings file that cannot be written is named in one message, and
    // nothing goes on as if the change had been kept.
    void failedSettingsWritesAreReported() {
        const auto expectNamed = [](Folder& f, std::size_t count, const std::string& ini) {
            f.ExpectLast(
                count, ini + "\nこの設定ファイルに書き込めなかったので、変更は保存されていません。",
                "設定を保存できないよ");
        };
        {
            // The set manager: no new set is made when the list cannot take it.
            Folder f(0, {"A"});
            SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
            const FileSizeLimit full(1);
            CreateSet(dialog, "B");
            expectNamed(f, 1, f.config.systemIniPath);
            QVERIFY(f.io.dialogTitles.isEmpty());
            QCOMPARE(List(dialog).count(), 1);
            // Deleting: the entry stays listed and its file stays too.
            List(dialog).setCurrentRow(0);
            Click(dialog, "id1031");
            expectNamed(f, 2, f.config.systemIniPath);
            QVERIFY(fs::exists(f.dir / "A.ini") && f.Entry(0) == "A");
        }
        {
            // The path settings: each change, and OK, which then keeps the dialog open.
            Folder f(1);
            PathSettingsDialog dialog(f.config, f.io);
            const FileSizeLimit full(1);
            Click(dialog, "id2002");
            expectNamed(f, 2, f.config.configIniPath);  // the page's record and the mode
            Click(dialog, "id1027");
            expectNamed(f, 3, f.config.configIniPath);
            f.io.fileNames.push_back(Q(f.dir / "t.txt"));
            Click(dialog, "id1008");
            expectNamed(f, 4, f.config.configIniPath);
            Click(dialog, "id1");
            expectNamed(f, 5, f.config.configIniPath);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            f.io.dialogs = {TypeName("new.html")};
            Click(dialog, "id1075");
            expectNamed(f, 6, f.config.configIniPath);
        }
        {
            // The log title format stays open with what was typed.
            Folder f;
            LogFormatDialog dialog(f.config, f.io);
            Find<QLineEdit>(dialog, "id1038").setText("*Y");
            const FileSizeLimit full(1);
            Click(dialog, "id1");
            expectNamed(f, 1, f.config.systemIniPath);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(Text(dialog, "id1038"), QString("*Y"));
        }
    }

    void uploaderSetupStartsTheToolWithSet() {
        Folder f;
        f.host.startResults = {StartResult::NotFound};
        StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QVERIFY(f.host.starts == std::vector{Start("tavmo/tavmo.exe", "/set")});
        f.ExpectLast(1, "tavmo/tavmo.exeがみつかりません。", "パスが違うよ");

        f.config.uploaderPath.clear();
        StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(1));
        f.ExpectLast(2, "tavmoの場所を指定していません。", "設定してないよ");
    }

    void editorIsThisProgramWithTheAbsolutePath() {
        Folder f;
        f.config.templatePath = "my templet.txt";  // relative, with a blank
        f.host.startResults = {StartResult::Started, StartResult::NotFound};
        EditTemplate(nullptr, f.config, f.io, f.host);
        QVERIFY(f.host.starts[0].first == "/proc/self/exe");
        QVERIFY(
            SplitCommandLine(f.host.starts[0].second) ==
            std::vector<std::string>({"edit", fs::current_path().string() + "/my templet.txt"}));
        QVERIFY(f.io.messages.empty());
        EditTemplate(nullptr, f.config, f.io, f.host);
        f.ExpectLast(1, fs::read_symlink("/proc/self/exe").string() + "がみつかりません。",
                     "パスが違うよ");
    }

    // A page keeps its CR LF line ends and its closing NUL.
    void editorRoundTripsShiftJis() {
        TempDir dir;
        const std::string path = dir / "file.html";
        WriteBytes(path, Sj("<p>日記</p>\r\n<!-- ここ -->\r\n") + std::string("\0old tail", 9));
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        QCOMPARE(window.editor()->toPlainText(), U("<p>日記</p>\n<!-- ここ -->\n"));
        Type(window, U("表示\n"));
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) ==
                Sj("<p>日記</p>\r\n<!-- ここ -->\r\n表示\r\n") + std::string(1, '\0'));
        QVERIFY(io.messages.empty());
    }

    // A file that is not Shift-JIS is never loaded (saving would mangle it),
    // and one changed on disk since loading is not overwritten unasked.
    void editorNeverLosesWhatTheFileHolds() {
        TempDir dir;
        const std::string path = dir / "page.html";
        ScriptedInteraction io;
        WriteBytes(path, "ok \x82");
        QVERIFY(!TextEditorWindow(path, io).Load());
        WriteBytes(path, "old\r\n");
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        WriteBytes(path, "old\r\nnew entry\r\n");  // a generate meanwhile
        Type(window, "x");
        io.answers = {Answer::No};
        QVERIFY(!window.Save());
        QVERIFY(ReadBytes(path) == "old\r\nnew entry\r\n");
    }

    void closingWithUnsavedChangesAsks() {
        TempDir dir;
        const std::string path = dir / "t.txt";
        WriteBytes(path, "keep");
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        window.show();
        Type(window, "!");
        io.answers = {Answer::Cancel, Answer::Yes};
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QVERIFY(ReadBytes(path) == "keep");
        QVERIFY(window.close());
        QVERIFY(ReadBytes(path) == "keep!");
        QCOMPARE(io.messages.size(), std::size_t(2));
        QCOMPARE(io.messages[0].text, U("t.txt への変更を保存しますか？"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ConfigWindowsTest)
#include "config_windows_test.moc"
