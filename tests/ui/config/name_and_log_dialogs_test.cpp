#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "platform/encoding.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }

ActiveConfig MakeConfig(const TempDir& dir) {
    ActiveConfig c;
    c.programDir = dir.dir();
    c.systemIniPath = dir / "QMsys.ini";
    c.configIniPath = dir / "my.ini";
    c.currentName = "diary-current.html";
    return c;
}

// One scripted CurrentNameDialog: types `name` and presses OK, or cancels.
std::function<int(QDialog&)> Answer(const QString& name, bool ok = true,
                                    QString* seenNewBox = nullptr, QString* seenCurrent = nullptr) {
    return [=](QDialog& d) {
        auto* box = d.findChild<QLineEdit*>("id1082");
        if (seenNewBox) *seenNewBox = box->text();
        if (seenCurrent) *seenCurrent = d.findChild<QLineEdit*>("id1081")->text();
        box->setText(name);
        if (ok) {
            d.findChild<QPushButton*>("id1")->click();
        } else {
            d.findChild<QPushButton*>("id2")->click();
        }
        return d.result();
    };
}

QString StoredName(const ActiveConfig& c) {
    return QString::fromStdString(*Cp932ToUtf8(
        ReadProfileString(c.configIniPath, "FILEPATH", "CURRENTNAME", "<absent>", 256)));
}

QString StoredTitle(const ActiveConfig& c) {
    return QString::fromStdString(
        *Cp932ToUtf8(ReadProfileString(c.systemIniPath, "LOGSETTING", "TITLE", "<absent>", 1024)));
}

}  // namespace

class NameAndLogDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void nameOfExactly100BytesIsAccepted() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        const QString name = QString(96, 'a') + ".htm";
        QString current;
        io.dialogs.push_back(Answer(name, true, nullptr, &current));
        QVERIFY(RenameCurrentCopy(nullptr, config, io));
        QCOMPARE(current, QString("diary-current.html"));
        QVERIFY(io.messages.empty());
        QCOMPARE(QString::fromStdString(config.currentName), name);
        QCOMPARE(StoredName(config), name);
        QCOMPARE(io.dialogTitles.front(), U(cfgmsg::kCurrentNameCaption));
    }

    void tooLongNameAsksAgainWithAnEmptyBox() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        QString secondBox = "not looked at";
        io.dialogs.push_back(Answer(QString(101, 'a')));
        io.dialogs.push_back(Answer("short.html", true, &secondBox));
        QVERIFY(RenameCurrentCopy(nullptr, config, io));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNameTooLongText));
        QCOMPARE(io.messages[0].caption, U(cfgmsg::kAppName));
        QCOMPARE(secondBox, QString());
        QCOMPARE(StoredName(config), QString("short.html"));
    }

    void twoByteCharactersCountTwice() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        const QString fifty(50, QChar(0x3042));  // あ, two bytes each
        io.dialogs.push_back(Answer(fifty + QChar(0x3042)));
        io.dialogs.push_back(Answer(fifty));
        QVERIFY(RenameCurrentCopy(nullptr, config, io));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNameTooLongText));
        QCOMPARE(config.currentName.size(), std::size_t(100));
        QCOMPARE(StoredName(config), fifty);
    }

    void emptyNameChangesNothing() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        io.dialogs.push_back(Answer(""));
        io.dialogs.push_back(Answer("never.html"));
        QVERIFY(!RenameCurrentCopy(nullptr, config, io));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNoInputText));
        QCOMPARE(io.dialogs.size(), std::size_t(1));  // not asked again
        QCOMPARE(QString::fromStdString(config.currentName), QString("diary-current.html"));
        QVERIFY(!std::filesystem::exists(config.configIniPath));
    }

    void cancelChangesNothingAndShowsNothing() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        io.dialogs.push_back(Answer("typed.html", false));
        QVERIFY(!RenameCurrentCopy(nullptr, config, io));
        QVERIFY(io.messages.empty());
        QCOMPARE(QString::fromStdString(config.currentName), QString("diary-current.html"));
        QVERIFY(!std::filesystem::exists(config.configIniPath));
    }

    void nameShiftJisCannotHoldIsAskedAgain() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        io.dialogs.push_back(Answer(QString::fromUtf8("\xF0\x9F\x98\x80.html")));
        io.dialogs.push_back(Answer("plain.html"));
        QVERIFY(RenameCurrentCopy(nullptr, config, io));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(cfgmsg::kNameNotCp932Text));
        QCOMPARE(StoredName(config), QString("plain.html"));
    }

    void logFormatShowsDefaultAndTokenList() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        LogFormatDialog dialog(config);
        QCOMPARE(dialog.windowTitle(), U(cfgmsg::kLogFormatCaption));
        QCOMPARE(dialog.findChild<QLineEdit*>("id1038")->text(), U("*m月*d日以降の日記"));
        const QString tokens = dialog.findChild<QPlainTextEdit*>("id1040")->toPlainText();
        QCOMPARE(tokens, U(cfgmsg::kTokenList).replace("\r\n", "\n"));
        QVERIFY(tokens.startsWith(U("西暦（2XXX）\t*Y\t西暦（XX）\t\t*y\n")));
        QVERIFY(tokens.endsWith(U("\n文字としての*\t**")));
    }

    void emptyPatternIsSavedAndKeptEmpty() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        {
            LogFormatDialog dialog(config);
            dialog.findChild<QLineEdit*>("id1038")->clear();
            dialog.findChild<QPushButton*>("id1")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(StoredTitle(config), QString());
        LogFormatDialog reopened(config);
        QCOMPARE(reopened.findChild<QLineEdit*>("id1038")->text(), QString());

        reopened.findChild<QPushButton*>("id1039")->click();
        QCOMPARE(StoredTitle(config), QString());  // reset alone writes nothing
        reopened.findChild<QPushButton*>("id1")->click();
        QCOMPARE(StoredTitle(config), U("*m月*d日以降の日記"));
    }

    void escapeWritesNothing() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        LogFormatDialog dialog(config);
        dialog.findChild<QLineEdit*>("id1038")->setText("*Y");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!std::filesystem::exists(config.systemIniPath));
    }

    void patternIsCutAt511BytesAndKeepsOtherCharactersAsReferences() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        {
            LogFormatDialog dialog(config);
            dialog.findChild<QLineEdit*>("id1038")->setText(U("*d日\xF0\x9F\x98\x80"));
            dialog.findChild<QPushButton*>("id1")->click();
        }
        QCOMPARE(StoredTitle(config), U("*d日&#x1F600;"));
        {
            LogFormatDialog dialog(config);
            // 255 two-byte characters and one more: 512 bytes, cut to 510.
            dialog.findChild<QLineEdit*>("id1038")->setText(QString(256, QChar(0x65E5)));
            dialog.findChild<QPushButton*>("id1")->click();
        }
        QCOMPARE(StoredTitle(config), QString(255, QChar(0x65E5)));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::NameAndLogDialogsTest)
#include "name_and_log_dialogs_test.moc"
