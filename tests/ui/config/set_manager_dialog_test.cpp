#include "ui/config/set_manager_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

#include "tests/ui/config/config_test_support.h"
#include "ui/config/config_messages.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_name_rules.h"

namespace qm::test {
namespace {

struct SetFolder : ProgramFolder {
    SetManagerMemory memory;

    explicit SetFolder(std::initializer_list<const char*> sets = {}) {
        int i = 0;
        for (const char* name : sets) {
            WriteProfileString(config.systemIniPath, "INI", std::to_string(i++), name);
            WriteBytes(dir / name + ".ini", "[FILEPATH]\r\nEDIT=1\r\n");
        }
    }
    std::string Entry(int i) const {
        return ReadProfileString(config.systemIniPath, "INI", std::to_string(i), "<absent>", 256);
    }
};

bool Shown(QWidget& d, const char* id) { return !Find(d, id).isHidden(); }

// The first-set view explains and offers the manuals instead of the list.
bool FirstSetView(QWidget& d, bool first) {
    for (const char* id : {"id1057", "id1055", "id1056"}) {
        if (Shown(d, id) != first) return false;
    }
    for (const char* id : {"id1", "id1031", "id1020"}) {
        if (Shown(d, id) == first) return false;
    }
    return true;
}

QListWidget& List(QWidget& d) { return Find<QListWidget>(d, "id1020"); }
QString NameBox(QWidget& d) { return Find<QLineEdit>(d, "id1030").text(); }

void Create(QWidget& d, const QString& name) {
    Find<QLineEdit>(d, "id1030").setText(name);
    Click(d, "id1029");
}

// Notes which set file the path settings opened for a new set work on.
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
        SetFolder f;
        f.config.currentName = "old-copy.html";
        {
            SetManagerDialog first(f.config, f.memory, f.io, f.host);
            QTest::keyClick(&first, Qt::Key_Escape);
        }
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);  // told once only
        f.ExpectLastMessage(1, cfgmsg::kNoSetText, cfgmsg::kNoSetCaption);
        QVERIFY(f.memory.firstSetPending);
        QVERIFY(FirstSetView(dialog, true));
        QCOMPARE(NameBox(dialog), U("マイだいありぃ"));
        QCOMPARE(U(f.config.currentName), QString("diary-current.html"));

        std::string iniSeen;
        f.io.dialogs.push_back(PathDialogSeen(&iniSeen, f.config));
        Click(dialog, "id1029");
        const std::string setFile = f.dir.dir() + Sj("マイだいありぃ") + ".ini";
        QVERIFY(iniSeen == setFile);
        QVERIFY(f.Entry(0) == Sj("マイだいありぃ"));
        QVERIFY(std::filesystem::exists(*Cp932ToUtf8(setFile)));  // QUILL was written there
        QVERIFY(!f.memory.firstSetPending);
        QCOMPARE(f.memory.knownSetCount, 1);
        QVERIFY(FirstSetView(dialog, false));
        QCOMPARE(List(dialog).count(), 1);
        QCOMPARE(List(dialog).item(0)->text(), U("マイだいありぃ"));
        QCOMPARE(NameBox(dialog), QString());
        QCOMPARE(f.io.messages.size(), std::size_t(1));
    }

    void reservedAndDuplicateNamesAreRefused() {
        SetFolder f({"Diary", "Work"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        QVERIFY(FirstSetView(dialog, false));
        Create(dialog, "qMsYs");
        f.ExpectLastMessage(1, cfgmsg::kReservedText, cfgmsg::kReservedCaption);
        Create(dialog, "Work");
        f.ExpectLastMessage(2, cfgmsg::kDuplicateText, cfgmsg::kDuplicateCaption);
        QCOMPARE(List(dialog).count(), 2);
        QCOMPARE(NameBox(dialog), QString());
        QVERIFY(f.io.dialogTitles.isEmpty());

        std::string iniSeen;
        f.io.dialogs.push_back(PathDialogSeen(&iniSeen, f.config));
        Create(dialog, "work");    // another case is another name
        Create(dialog, "QMsys2");  // merely begins with the reserved one
        QCOMPARE(f.io.messages.size(), std::size_t(2));
        QVERIFY(f.Entry(2) == "work" && f.Entry(3) == "QMsys2");
        QVERIFY(iniSeen == f.dir / "work.ini");
        QCOMPARE(f.memory.knownSetCount, 4);
    }

    void unusableFileNamesAreRefused() {
        SetFolder f({"A"});
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
            Create(dialog, name);
            f.ExpectLastMessage(++shown, text, cfgmsg::kBadSetNameCaption);
            QCOMPARE(List(dialog).count(), 1);
            QCOMPARE(NameBox(dialog), QString());
        }
        QVERIFY(f.io.dialogTitles.isEmpty());
        Create(dialog, QString(251, 'x'));  // the longest that fits: 255 bytes with ".ini"
        Create(dialog, U("十月"));          // its second byte 0x5C is no folder separator
        QCOMPARE(f.io.messages.size(), shown);
        QCOMPARE(List(dialog).count(), 3);
        const std::string longFolder = "/" + std::string(4080, 'd') + "/";
        QCOMPARE(CheckSetName("short", longFolder), SetNameVerdict::Usable);
        QCOMPARE(CheckSetName(std::string(20, 'n'), longFolder), SetNameVerdict::PathTooLong);
    }

    void deletingSetsRemovesOnlyTheirOwnFiles() {
        SetFolder f({"A", "B", "C"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        Click(dialog, "id1031");  // nothing selected: nothing happens
        QCOMPARE(List(dialog).count(), 3);
        List(dialog).setCurrentRow(1);
        Click(dialog, "id1031");
        QVERIFY(!std::filesystem::exists(f.dir / "B.ini"));
        QVERIFY(std::filesystem::exists(f.dir / "A.ini") &&
                std::filesystem::exists(f.dir / "C.ini"));
        QVERIFY(f.Entry(0) == "A" && f.Entry(1) == "C" && f.Entry(2) == "<absent>");
        QCOMPARE(List(dialog).item(1)->text(), QString("C"));
        QCOMPARE(f.memory.knownSetCount, 2);
        QVERIFY(f.io.messages.empty());

        // Hand-edited entries lose their line but never the files they name.
        WriteProfileString(f.config.systemIniPath, "INI", "2", "qmsys");
        std::filesystem::create_directory(f.dir / "sub");
        WriteBytes(f.dir / "sub/inner.ini", "keep");
        WriteProfileString(f.config.systemIniPath, "INI", "3", "sub/inner");
        SetManagerDialog again(f.config, f.memory, f.io, f.host);
        for (int row : {3, 2}) {
            List(again).setCurrentRow(row);
            Click(again, "id1031");
        }
        QCOMPARE(List(again).count(), 2);
        QVERIFY(std::filesystem::exists(f.config.systemIniPath));
        QVERIFY(std::filesystem::exists(f.dir / "sub/inner.ini"));
    }

    void deletingTheLastSetReturnsToTheFirstSetView() {
        SetFolder f({"Only"});
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        List(dialog).setCurrentRow(0);
        Click(dialog, "id1031");
        QVERIFY(!std::filesystem::exists(f.dir / "Only.ini"));
        f.ExpectLastMessage(1, cfgmsg::kNoSetText, cfgmsg::kNoSetCaption);
        QVERIFY(FirstSetView(dialog, true));
        QVERIFY(f.memory.firstSetPending);
        QCOMPARE(f.memory.knownSetCount, 0);
    }

    void manualButtonsOpenTheFilesBesideTheProgram() {
        SetFolder f;
        SetManagerDialog dialog(f.config, f.memory, f.io, f.host);
        Click(dialog, "id1055");
        f.ExpectLastMessage(2, f.dir.dir() + "とりせつ.txtがみつかりません。",
                            cfgmsg::kNoManualCaption);
        Click(dialog, "id1056");
        f.ExpectLastMessage(3, cfgmsg::kNoHtmlManualText, cfgmsg::kNoHtmlManualCaption);
        QVERIFY(f.host.starts.empty());

        WriteBytes(f.dir / "とりせつ.txt", "manual");
        WriteBytes(f.dir / "とりせつ.html", "<html></html>");
        Click(dialog, "id1055");
        Click(dialog, "id1056");
        QCOMPARE(f.io.messages.size(), std::size_t(3));
        QCOMPARE(f.host.starts.size(), std::size_t(2));
        QVERIFY(f.host.starts[0].program == "xdg-open");
        QVERIFY(f.host.starts[0].parameters == "\"" + f.dir.dir() + Sj("とりせつ.txt") + "\"");
        QVERIFY(f.host.starts[1].parameters == "\"" + f.dir.dir() + Sj("とりせつ.html") + "\"");
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::SetManagerDialogTest)
#include "set_manager_dialog_test.moc"
