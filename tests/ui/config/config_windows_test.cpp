// The configuration windows (file paths, the current copy's name, the log
// title format, the set manager), the commands that start other programs,
// and the text editor those commands start.
#include <QCheckBox>
#include <QListWidget>
#include <QSpinBox>
#include <QtTest>
#include <filesystem>

#include "engine/messages.h"
#include "platform/process.h"
#include "support/scoped_env.h"
#include "support/write_limit.h"
#include "ui/common/text_editor_window.h"
#include "ui/config/config_commands.h"
#include "ui/config/config_messages.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_manager_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/main/window_host.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }

template <typename W = QAbstractButton>
W& Find(QObject& dialog, const char* id) {
    W* w = dialog.findChild<W*>(id);
    if (!w) qFatal("control %s missing", id);
    return *w;
}
void Click(QObject& dialog, const char* id) { Find(dialog, id).click(); }
QListWidget& List(QWidget& d) { return Find<QListWidget>(d, "id1020"); }
void CreateSet(QWidget& d, const QString& name) {
    Find<QLineEdit>(d, "id1030").setText(name);
    Click(d, "id1029");
}
std::function<int(QDialog&)> TypeName(const QString& name) {
    return [=](QDialog& d) {
        Find<QLineEdit>(d, "id1082").setText(name);
        Click(d, "id1");
        return d.result();
    };
}

// A program folder with a set "my.ini" whose prototype is web/original.html,
// the sets `sets` listed in the system settings file, program starts recorded.
struct Folder : ProgramFolder {
    ActiveConfig config;
    ScriptedInteraction io;
    QWidget owner;
    WindowHost host{owner, io};
    std::vector<Start> starts;
    StartResult answer = StartResult::Started;
    SetManagerMemory memory;

    explicit Folder(int mode = 0, std::initializer_list<const char*> sets = {}) {
        fs::create_directories(path("web"));
        config.programDir = dir();
        config.systemIniPath = systemIni();
        config.configIniPath = path("my.ini");
        config.prototypePath = path("web/original.html");
        config.templatePath = path("templet.txt");
        config.uploaderPath = "tavmo/tavmo.exe";
        config.currentName = "diary-current.html";
        config.splitMode = SplitMode{mode};
        host.programStarter = [this](std::string_view program,
                                     const std::vector<std::string>& arguments, StartWait) {
            starts.emplace_back(program, arguments);
            return answer;
        };
        std::string list = "[INI]\n";
        for (const char* const& name : sets) {
            list += std::to_string(&name - sets.begin()) + "=" + name + "\n";
            WriteBytes(path(std::string(name) + ".ini"), "[FILEPATH]\r\nEDIT=1\r\n");
        }
        if (sets.size()) WriteSystemIni(list);
    }
    std::string Entry(int i) const { return ReadText("INI", std::to_string(i)); }
    // Exactly `count` boxes so far, the last one saying `text` under `caption`.
    void ExpectLast(std::size_t count, const QString& text, std::string_view caption) {
        QCOMPARE(io.messages.size(), count);
        if (!text.isEmpty()) QCOMPARE(io.messages.back().text, text);
        QCOMPARE(io.messages.back().caption, U(caption));
    }
};

}  // namespace

class ConfigWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { qunsetenv(kEditorVariable); }  // the editor is this program unless named

    void okIsRefusedWithoutTemplate() {
        Folder f(2);
        f.config.templatePath.clear();
        PathSettingsDialog dialog(f.config, f.io);
        Click(dialog, "id1");
        f.ExpectLast(1, U(cfgmsg::kNeedPrototypeText), cfgmsg::kNeedPrototypeCaption);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // The feed's settings, reached from the path settings: an address that is
    // not http(s) ending in '/' or the current copy's name is refused with
    // its reason and nothing is written; usable ones are stored and in force.
    void feedSettingsAreCheckedThenStored() {
        Folder f(1);
        f.config.diaryFolder = f.path("web/");
        PathSettingsDialog paths(f.config, f.io);
        const auto fill = [](const QString& file, const QString& site) {
            return [=](QDialog& d) {
                Find<QLineEdit>(d, "feedFile").setText(file);
                Find<QLineEdit>(d, "feedSite").setText(site);
                Click(d, "id1");
                return d.result();
            };
        };
        f.io.dialogs = {fill("atom.xml", "https://example.org/diary"),
                        fill("diary-current.html", "https://example.org/diary/"),
                        fill("atom.xml", "https://example.org/diary/")};
        for (int i = 0; i < 3; ++i) Click(paths, "idFeed");
        QCOMPARE(f.io.messages.size(), std::size_t{2});
        QCOMPARE(f.io.messages[0].text, U(msg::kFeedSiteReason));
        QCOMPARE(f.io.messages[1].text, U(msg::kNameUserFileReason));
        QVERIFY(ReadProfileString(f.config.configIniPath, "FEED", "SITE", "", 99) ==
                "https://example.org/diary/");
        QVERIFY(f.config.feed.file == "atom.xml" && f.config.feed.count == 20);
    }

    // The images' settings, reached from the path settings, are stored and in
    // force; a file that cannot take them is said and nothing changes.
    void webImageSettingsAreStoredOrSaidUnwritable() {
        Folder f(1);
        PathSettingsDialog paths(f.config, f.io);
        const auto set = [](bool copies, int side) {
            return [=](QDialog& d) {
                Find<QCheckBox>(d, "webCopies").setChecked(copies);
                Find<QSpinBox>(d, "longestSide").setValue(side);
                Click(d, "id1");
                return d.result();
            };
        };
        f.io.dialogs = {set(false, 800), set(true, 1200)};
        Click(paths, "idWebImages");
        QCOMPARE(ReadProfileInt(f.config.configIniPath, "WEBIMAGE", "SIZE", 0), 800);
        {
            const FileSizeLimit full(1);
            Click(paths, "idWebImages");
        }
        QCOMPARE(f.io.messages.back().text, UnwritableText(f.config.configIniPath));
        QVERIFY(f.config.webCopies == 0 && f.config.imageLongestSide == 800);
    }

    // A refused name is asked for again: longer than 100 Shift-JIS bytes or
    // with a character Shift-JIS lacks; the names at the limit are taken.
    void refusedCurrentNamesAreAskedForAgain() {
        Folder f(1);
        f.config.diaryFolder = f.path("web/");
        PathSettingsDialog dialog(f.config, f.io);
        const QString ja50(50, QChar(0x3042));  // あ: 2 bytes
        const QStringList refused = {QString(101, 'a'), ja50 + QChar(0x3042), U("x〜y.html")};
        const QStringList accepted = {QString(96, 'a') + ".htm", ja50, "now.html"};
        for (qsizetype i = 0; i < refused.size(); ++i) {
            const QString good = accepted[i % accepted.size()];
            f.io.dialogs = {TypeName(refused[i]), TypeName(good)};
            Click(dialog, "id1075");
            f.ExpectLast(i + 1, {}, cfgmsg::kAppName);
            QVERIFY(f.config.currentName == Sjis(good.toStdString()));
            QVERIFY(ReadProfileString(f.config.configIniPath, "FILEPATH", "CURRENTNAME", "", 256) ==
                    f.config.currentName);
        }
    }

    // Unusable names are refused with the reason's caption; a usable one is made.
    void unusableSetNamesAreRefusedAndAUsableOneIsMade() {
        Folder f(0, {"Diary", "Work"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        const std::pair<QString, std::string_view> rows[] = {
            {"qMsYs", cfgmsg::kReservedCaption},
            {"Work", cfgmsg::kDuplicateCaption},
            {U("日記¥2"), cfgmsg::kBadSetNameCaption},  // ¥ is not in Shift-JIS
        };
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            CreateSet(dialog, rows[i].first);
            f.ExpectLast(i + 1, {}, rows[i].second);
        }
        QVERIFY(List(dialog).count() == 2 && f.Entry(2) == "<absent>");
        QVERIFY(f.io.dialogTitles.isEmpty());
        // A usable name is listed, stored and given its file; its paths are asked for at once.
        CreateSet(dialog, U("日記"));
        QVERIFY(List(dialog).count() == 3 && f.Entry(2) == Sjis("日記"));
        QVERIFY(fs::exists(f.path("日記.ini")));
        QCOMPARE(f.io.dialogTitles.size(), 1);
    }

    // A first start offers the example diary: it becomes the listed set and
    // the dialog closes (that no file of the user's is overwritten is the
    // engine's to check). A set made by hand starts with the default upload tool.
    void theFirstSetCanBeTheExampleDiary() {
        Folder f;
        TempDir example;
        for (const char* name : {"example.ini", "original.html", "templet.txt", "log.html"})
            WriteBytes(example / name, name);
        f.config.uploaderPath.clear();  // as left by a set deleted before
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        f.ExpectLast(1, U(cfgmsg::kNoSetText), cfgmsg::kNoSetCaption);
        QCOMPARE(f.config.uploaderPath, std::string("tavmo/tavmo.exe"));
        dialog.UseExampleFolder(example.dir());
        Click(dialog, "fromExample");
        QVERIFY(f.Entry(0) == "example" && ReadBytes(f.path("log.html")) == "log.html");
        QVERIFY(f.config.configIniPath == f.path("example.ini"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The deleted set's file goes to the desktop's trash, and the user is told
    // where; without a trash to take it the file stays, and that is said.
    void deletingASetMovesItsFileToTheTrashOrKeepsIt() {
        Folder f(0, {"A", "B", "C"});
        const ScopedEnv home("HOME", f.path("home").c_str());
        const ScopedEnv data("XDG_DATA_HOME", f.path("data").c_str());
        fs::create_directories(f.path("home"));
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        List(dialog).setCurrentRow(1);
        Click(dialog, "id1031");
        QVERIFY(!fs::exists(f.path("B.ini")));
        QVERIFY(ReadBytes(f.path("data/Trash/files/B.ini")) == "[FILEPATH]\r\nEDIT=1\r\n");
        QVERIFY(f.Entry(0) == "A" && f.Entry(1) == "C" && f.Entry(2) == "<absent>");
        f.ExpectLast(1,
                     Q(f.path("B.ini")) +
                         U("\nをごみ箱に移しました。元に戻すときは、"
                           "次のファイルを元の場所に戻してください。\n") +
                         Q(f.path("data/Trash/files/B.ini")),
                     cfgmsg::kTrashedCaption);

        fs::remove_all(f.path("data"));
        WriteBytes(f.path("data"), "");  // a plain file: no trash can be made
        List(dialog).setCurrentRow(0);
        Click(dialog, "id1031");
        QVERIFY(fs::exists(f.path("A.ini")));
        QVERIFY(f.Entry(0) == "C" && f.Entry(1) == "<absent>");
        f.ExpectLast(
            2, Q(f.path("A.ini")) + U("\nをごみ箱に移せなかったので、そのまま残してあります。"),
            cfgmsg::kNotTrashedCaption);
    }

    // A settings file that cannot be written is named once per change, and
    // nothing goes on as if the change had been kept: the set manager makes
    // no set and keeps a deleted one with its file; the path settings (each
    // change, and OK) and the log title format stay open with what was typed.
    void failedSettingsWritesAreReported() {
        Folder f(1, {"A"});
        SetManagerDialog manager(f.config, f.memory, f.io, f.host);
        PathSettingsDialog paths(f.config, f.io);
        LogFormatDialog format(f.config, f.io);
        Find<QLineEdit>(format, "id1038").setText("*Y");
        f.io.fileNames.push_back(Q(f.path("t.txt")));
        const FileSizeLimit full(1);
        CreateSet(manager, "B");
        QVERIFY(f.io.dialogTitles.isEmpty());
        List(manager).setCurrentRow(0);
        Click(manager, "id1031");
        QCOMPARE(List(manager).count(), 1);
        QVERIFY(fs::exists(f.path("A.ini")) && f.Entry(0) == "A");
        f.io.dialogs = {TypeName("new.html")};
        for (const char* id : {"id2002", "id1027", "id1008", "id1", "id1075"}) Click(paths, id);
        Click(format, "id1");
        // Each of the seven changes names the file it could not write.
        QVERIFY(f.io.messages.size() >= 7);
        for (const auto& message : f.io.messages)
            QVERIFY(message.text == UnwritableText(f.config.configIniPath) ||
                    message.text == UnwritableText(f.config.systemIniPath));
        QCOMPARE(f.io.messages.back().caption, U("設定を保存できないよ"));
        QCOMPARE(paths.result(), int(QDialog::Rejected));
        QCOMPARE(format.result(), int(QDialog::Rejected));
        QCOMPARE(Find<QLineEdit>(format, "id1038").text(), QString("*Y"));
    }

    // The uploader's setup and the template editor (this program, given the
    // template's absolute path) are started with their arguments.
    void startedProgramsGetTheirArguments() {
        Folder f;
        StartUploaderSetup(f.config, f.host);
        f.config.templatePath = "my templet.txt";  // relative, with a blank
        EditTemplate(nullptr, f.config, f.io, f.host);
        QVERIFY(f.starts ==
                (std::vector{Start("tavmo/tavmo.exe", {"/set"}),
                             Start("/proc/self/exe",
                                   {"edit", fs::current_path().string() + "/my templet.txt"})}));
    }

    // A file that is not Shift-JIS is never loaded, and a file changed on disk
    // since loading is not overwritten unasked: the file and the edited text stay.
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
        window.editor()->insertPlainText("x");
        io.answers = {Answer::No};
        QVERIFY(!window.Save());
        QVERIFY(ReadBytes(path) == "old\r\nnew entry\r\n");
        QCOMPARE(window.editor()->toPlainText(), QString("xold\n"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ConfigWindowsTest)
#include "config_windows_test.moc"
