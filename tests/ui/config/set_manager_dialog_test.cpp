#include "ui/config/set_manager_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "platform/encoding.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "tests/ui/config/recording_host.h"
#include "ui/config/config_messages.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_name_rules.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }
std::string Sj(std::string_view utf8) { return *Utf8ToCp932(utf8); }

ActiveConfig MakeConfig(const TempDir& dir) {
    ActiveConfig c;
    c.programDir = dir.dir();
    c.systemIniPath = dir / "QMsys.ini";
    c.configIniPath = dir / "active.ini";
    c.prototypePath = "original.html";
    c.templatePath = "templet.txt";
    c.currentName = "old-copy.html";
    return c;
}

std::string Entry(const ActiveConfig& c, int i) {
    return ReadProfileString(c.systemIniPath, "INI", std::to_string(i), "<absent>", 256);
}

void AddSets(const ActiveConfig& c, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        WriteProfileString(c.systemIniPath, "INI", std::to_string(i++), name);
        WriteBytes(c.programDir + name + ".ini", "[FILEPATH]\r\nEDIT=1\r\n");
    }
}

bool Shown(QWidget& dialog, const char* id) { return !dialog.findChild<QWidget*>(id)->isHidden(); }

bool FirstSetView(QWidget& d) {
    return Shown(d, "id1057") && Shown(d, "id1055") && Shown(d, "id1056") && !Shown(d, "id1") &&
           !Shown(d, "id1031") && !Shown(d, "id1020");
}

bool NormalView(QWidget& d) {
    return !Shown(d, "id1057") && !Shown(d, "id1055") && !Shown(d, "id1056") && Shown(d, "id1") &&
           Shown(d, "id1031") && Shown(d, "id1020");
}

QListWidget& List(QWidget& d) { return *d.findChild<QListWidget*>("id1020"); }
QLineEdit& NameBox(QWidget& d) { return *d.findChild<QLineEdit*>("id1030"); }
void Click(QWidget& d, const char* id) { d.findChild<QPushButton*>(id)->click(); }

void Create(QWidget& d, const QString& name) {
    NameBox(d).setText(name);
    Click(d, "id1029");
}

// The path settings opened for a new set: records the file it works on.
std::function<int(QDialog&)> PathDialogSeen(std::string* iniSeen, const ActiveConfig& config) {
    return [iniSeen, &config](QDialog& d) {
        if (qobject_cast<PathSettingsDialog*>(&d)) *iniSeen = config.configIniPath;
        QTest::keyClick(&d, Qt::Key_Escape);
        return d.result();
    };
}

}  // namespace

class SetManagerDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void firstStartLeadsToTheFirstSet() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);

        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNoSetText));
        QCOMPARE(io.messages[0].caption, U(cfgmsg::kNoSetCaption));
        QVERIFY(memory.firstSetPending);
        QCOMPARE(memory.knownSetCount, 0);
        QVERIFY(FirstSetView(dialog));
        QCOMPARE(NameBox(dialog).text(), U("マイだいありぃ"));
        QCOMPARE(QString::fromStdString(config.currentName), QString("diary-current.html"));

        std::string iniSeen;
        io.dialogs.push_back(PathDialogSeen(&iniSeen, config));
        Click(dialog, "id1029");
        const std::string setFile = dir.dir() + Sj("マイだいありぃ") + ".ini";
        QCOMPARE(QString::fromStdString(iniSeen), QString::fromStdString(setFile));
        QVERIFY(Entry(config, 0) == Sj("マイだいありぃ"));
        QVERIFY(std::filesystem::exists(*Cp932ToUtf8(setFile)));  // QUILL was written there
        QVERIFY(!memory.firstSetPending);
        QCOMPARE(memory.knownSetCount, 1);
        QVERIFY(NormalView(dialog));
        QCOMPARE(List(dialog).count(), 1);
        QCOMPARE(List(dialog).item(0)->text(), U("マイだいありぃ"));
        QCOMPARE(NameBox(dialog).text(), QString());
        QCOMPARE(io.messages.size(), std::size_t(1));
    }

    void reopeningWithoutASetDoesNotRepeatTheMessage() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        {
            SetManagerDialog first(config, memory, io, host);
            QTest::keyClick(&first, Qt::Key_Escape);
        }
        SetManagerDialog again(config, memory, io, host);
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(FirstSetView(again));
        QCOMPARE(NameBox(again).text(), U("マイだいありぃ"));
    }

    void reservedNameIsRefusedInAnyCase() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"A"});
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        QVERIFY(NormalView(dialog));
        Create(dialog, "qMsYs");
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kReservedText));
        QCOMPARE(io.messages[0].caption, U(cfgmsg::kReservedCaption));
        QCOMPARE(List(dialog).count(), 1);
        QCOMPARE(NameBox(dialog).text(), QString());
        QVERIFY(io.dialogTitles.isEmpty());

        Create(dialog, "QMsys2");  // merely begins with it
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(List(dialog).count(), 2);
        QVERIFY(Entry(config, 1) == "QMsys2");
    }

    void duplicateNameIsRefusedButOtherCaseIsNew() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"Diary", "Work"});
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        Create(dialog, "Work");
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kDuplicateText));
        QCOMPARE(io.messages[0].caption, U(cfgmsg::kDuplicateCaption));
        QCOMPARE(List(dialog).count(), 2);
        QCOMPARE(NameBox(dialog).text(), QString());

        std::string iniSeen;
        io.dialogs.push_back(PathDialogSeen(&iniSeen, config));
        Create(dialog, "work");
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(Entry(config, 2) == "work");
        QCOMPARE(QString::fromStdString(iniSeen), QString::fromStdString(dir / "work.ini"));
        QCOMPARE(memory.knownSetCount, 3);
    }

    void unusableFileNamesAreRefused() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"A"});
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        const QList<QPair<QString, std::string_view>> cases = {
            {"a/b", cfgmsg::kSetNameSeparatorText},
            {"a\\b", cfgmsg::kSetNameSeparatorText},
            {"..", cfgmsg::kSetNameDotsText},
            {".", cfgmsg::kSetNameDotsText},
            {" lead", cfgmsg::kSetNameBlankEdgeText},
            {"a\tb", cfgmsg::kSetNameControlText},
            {QString(252, 'x'), cfgmsg::kSetNameTooLongText},           // 256 bytes with ".ini"
            {QString(90, QChar(0x65E5)), cfgmsg::kSetNameTooLongText},  // 270 UTF-8 bytes
            {U("日記\xF0\x9F\x98\x80"), cfgmsg::kSetNameNotCp932Text},
        };
        for (const auto& [name, text] : cases) {
            io.messages.clear();
            Create(dialog, name);
            QCOMPARE(io.messages.size(), std::size_t(1));
            QCOMPARE(io.messages[0].text, U(text));
            QCOMPARE(io.messages[0].caption, U(cfgmsg::kBadSetNameCaption));
            QCOMPARE(List(dialog).count(), 1);
            QCOMPARE(NameBox(dialog).text(), QString());
        }
        QVERIFY(io.dialogTitles.isEmpty());

        // The longest that fits: 251 bytes and ".ini" make 255.
        io.messages.clear();
        Create(dialog, QString(251, 'x'));
        QVERIFY(io.messages.empty());
        QCOMPARE(List(dialog).count(), 2);
        // A name with a "十" (second byte 0x5C) is not a folder.
        Create(dialog, U("十月"));
        QVERIFY(io.messages.empty());
        QCOMPARE(List(dialog).count(), 3);
    }

    void setFilePathOverTheSystemLimitIsRefused() {
        const std::string longFolder = "/" + std::string(4080, 'd') + "/";
        QCOMPARE(CheckSetName("short", longFolder), SetNameVerdict::Usable);
        QCOMPARE(CheckSetName(std::string(20, 'n'), longFolder), SetNameVerdict::PathTooLong);
        QCOMPARE(CheckSetName("QMSYS", "/x/"), SetNameVerdict::Reserved);
        QCOMPARE(CheckSetName("\x82", "/x/"), SetNameVerdict::NotCp932);
    }

    void deletingTheMiddleOfThreeSets() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"A", "B", "C"});
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        QCOMPARE(memory.knownSetCount, 3);

        Click(dialog, "id1031");  // nothing selected: nothing happens
        QCOMPARE(List(dialog).count(), 3);
        QVERIFY(std::filesystem::exists(dir / "B.ini"));

        List(dialog).setCurrentRow(1);
        Click(dialog, "id1031");
        QVERIFY(!std::filesystem::exists(dir / "B.ini"));
        QVERIFY(std::filesystem::exists(dir / "A.ini"));
        QVERIFY(std::filesystem::exists(dir / "C.ini"));
        QVERIFY(Entry(config, 0) == "A");
        QVERIFY(Entry(config, 1) == "C");
        QVERIFY(Entry(config, 2) == "<absent>");
        QCOMPARE(List(dialog).count(), 2);
        QCOMPARE(List(dialog).item(1)->text(), QString("C"));
        QCOMPARE(memory.knownSetCount, 2);
        QVERIFY(io.messages.empty());
        QVERIFY(host.starts.empty());
    }

    void deletingTheLastSetReturnsToTheFirstSetView() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"Only"});
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        QVERIFY(NormalView(dialog));
        List(dialog).setCurrentRow(0);
        Click(dialog, "id1031");
        QVERIFY(!std::filesystem::exists(dir / "Only.ini"));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNoSetText));
        QVERIFY(FirstSetView(dialog));
        QVERIFY(memory.firstSetPending);
        QCOMPARE(memory.knownSetCount, 0);
    }

    void deletingAHandEditedReservedNameKeepsTheSystemFile() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        AddSets(config, {"A"});
        WriteProfileString(config.systemIniPath, "INI", "1", "qmsys");
        WriteProfileString(config.systemIniPath, "INI", "2", "sub/inner");
        std::filesystem::create_directory(dir / "sub");
        WriteBytes(dir / "sub/inner.ini", "keep");
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        List(dialog).setCurrentRow(2);
        Click(dialog, "id1031");
        List(dialog).setCurrentRow(1);
        Click(dialog, "id1031");
        QCOMPARE(List(dialog).count(), 1);
        QVERIFY(Entry(config, 0) == "A");
        QVERIFY(std::filesystem::exists(config.systemIniPath));
        QVERIFY(std::filesystem::exists(dir / "sub/inner.ini"));
    }

    void manualButtonsOpenTheFilesBesideTheProgram() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        SetManagerMemory memory;
        ScriptedInteraction io;
        RecordingHost host;
        SetManagerDialog dialog(config, memory, io, host);
        io.messages.clear();

        Click(dialog, "id1055");
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U((dir.dir() + "とりせつ.txtがみつかりません。")));
        QCOMPARE(io.messages[0].caption, U(cfgmsg::kNoManualCaption));
        Click(dialog, "id1056");
        QCOMPARE(io.messages.size(), std::size_t(2));
        QCOMPARE(io.messages[1].text, U(cfgmsg::kNoHtmlManualText));
        QCOMPARE(io.messages[1].caption, U(cfgmsg::kNoHtmlManualCaption));
        QVERIFY(host.starts.empty());

        WriteBytes(dir / "とりせつ.txt", "manual");
        WriteBytes(dir / "とりせつ.html", "<html></html>");
        Click(dialog, "id1055");
        Click(dialog, "id1056");
        QCOMPARE(io.messages.size(), std::size_t(2));
        QCOMPARE(host.starts.size(), std::size_t(2));
        QVERIFY(host.starts[0].program == "xdg-open");
        QVERIFY(host.starts[0].parameters == "\"" + dir.dir() + Sj("とりせつ.txt") + "\"");
        QVERIFY(host.starts[1].parameters == "\"" + dir.dir() + Sj("とりせつ.html") + "\"");
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::SetManagerDialogTest)
#include "set_manager_dialog_test.moc"
