#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "engine/diary_page.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/process.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "tests/ui/config/recording_host.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/config_messages.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }

ActiveConfig MakeConfig(const TempDir& dir) {
    ActiveConfig c;
    c.programDir = dir.dir();
    c.systemIniPath = dir / "QMsys.ini";
    c.configIniPath = dir / "my.ini";
    c.prototypePath = dir / "original.html";
    c.templatePath = dir / "templet.txt";
    c.uploaderPath = "tavmo/tavmo.exe";
    c.diaryPage = dir / "diary03-Mar.html";
    return c;
}

// Leaves the editor variable as the test found it.
class EditorVariable {
  public:
    explicit EditorVariable(const char* value) {
        if (const char* old = std::getenv(kEditorVariable)) saved_ = old;
        if (value) {
            ::setenv(kEditorVariable, value, 1);
        } else {
            ::unsetenv(kEditorVariable);
        }
    }
    ~EditorVariable() {
        if (saved_) {
            ::setenv(kEditorVariable, saved_->c_str(), 1);
        } else {
            ::unsetenv(kEditorVariable);
        }
    }

  private:
    std::optional<std::string> saved_;
};

}  // namespace

class WindowCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void uploaderSetupStartsTheToolWithSet() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        RecordingHost host;
        StartUploaderSetup(nullptr, config, io, host);
        QCOMPARE(host.starts.size(), std::size_t(1));
        QVERIFY(host.starts[0].program == "tavmo/tavmo.exe");
        QVERIFY(host.starts[0].parameters == "/set");
        QVERIFY(io.messages.empty());
    }

    void uploaderSetupWithAnEmptyPathStartsNothing() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        config.uploaderPath.clear();
        ScriptedInteraction io;
        RecordingHost host;
        StartUploaderSetup(nullptr, config, io, host);
        QVERIFY(host.starts.empty());
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U("tavmoの場所を指定していません。"));
        QCOMPARE(io.messages[0].caption, U("設定してないよ"));
    }

    void uploaderSetupWithAMissingToolNamesIt() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        RecordingHost host;
        host.startResults.push_back(StartResult::NotFound);
        StartUploaderSetup(nullptr, config, io, host);
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U("tavmo/tavmo.exeがみつかりません。"));
        QCOMPARE(io.messages[0].caption, U("パスが違うよ"));

        // Any other failure is not reported.
        host.startResults.push_back(StartResult::Failed);
        StartUploaderSetup(nullptr, config, io, host);
        QCOMPARE(io.messages.size(), std::size_t(1));
    }

    void imageBrowseAppendsInOrder() {
        RunState run;
        ScriptedInteraction io;
        QLineEdit imageBox;
        QLineEdit altBox;
        altBox.setEnabled(false);
        io.fileNames.push_back(QString("/img/a.jpg"));
        io.fileNames.push_back(QString("/img/b.png"));
        io.fileNames.push_back(std::nullopt);
        QVERIFY(ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QCOMPARE(imageBox.text(), QString("a.jpg"));
        QVERIFY(altBox.isEnabled());
        QVERIFY(ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(run.imageUploadList == "/img/a.jpg\" \"/img/b.png");
        QCOMPARE(imageBox.text(), QString("b.png"));
        QVERIFY(altBox.isEnabled());
        QVERIFY(io.fileChooserFilters[0].contains("*.jpg *.jpeg *.gif *.png"));
    }

    void imagePathShiftJisCannotHoldIsRefused() {
        RunState run;
        run.imageUploadList = "/img/a.jpg";
        ScriptedInteraction io;
        QLineEdit imageBox("a.jpg");
        QLineEdit altBox;
        io.fileNames.push_back(U("/img/\xF0\x9F\x98\x80.png"));
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(run.imageUploadList == "/img/a.jpg");
        QCOMPARE(imageBox.text(), QString("a.jpg"));
    }

    void editorIsThisProgramWithEditAndTheAbsolutePath() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        config.templatePath = "my templet.txt";  // relative, with a blank
        ScriptedInteraction io;
        RecordingHost host;
        EditorVariable unset(nullptr);
        const auto cwd = std::filesystem::current_path();
        std::filesystem::current_path(dir.dir());
        EditTemplate(nullptr, config, io, host);
        std::filesystem::current_path(cwd);
        QCOMPARE(host.starts.size(), std::size_t(1));
        QVERIFY(host.starts[0].program == "/proc/self/exe");
        const auto words = SplitCommandLine(host.starts[0].parameters);
        QCOMPARE(words.size(), std::size_t(2));
        QVERIFY(words[0] == "edit");
        QCOMPARE(QString::fromStdString(words[1]),
                 QString::fromStdString(std::filesystem::canonical(dir.dir()).string() +
                                        "/my templet.txt"));
        QVERIFY(io.messages.empty());
    }

    void editorPathWithQuotesSurvivesTheCommandLine() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        config.diaryPage = dir / "a \"quoted\" page.html";
        ScriptedInteraction io;
        RecordingHost host;
        EditorVariable unset(nullptr);
        EditDiaryPage(nullptr, config, io, host);
        const auto words = SplitCommandLine(host.starts.at(0).parameters);
        QCOMPARE(words.size(), std::size_t(2));
        QVERIFY(words[1] == config.diaryPage);
    }

    void missingEditorNamesTheProgramTried() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        RecordingHost host;
        {
            EditorVariable unset(nullptr);
            host.startResults.push_back(StartResult::NotFound);
            EditTemplate(nullptr, config, io, host);
            QCOMPARE(io.messages.size(), std::size_t(1));
            const QString self =
                QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe").string());
            QCOMPARE(io.messages[0].text, self + U("がみつかりません。"));
            QCOMPARE(io.messages[0].caption, U("パスが違うよ"));
        }
        {
            EditorVariable chosen("no-such-editor");
            host.startResults.push_back(StartResult::NotFound);
            EditDiaryPage(nullptr, config, io, host);
            QVERIFY(host.starts.back().program == "no-such-editor");
            QVERIFY(host.starts.back().parameters == "\"" + config.diaryPage + "\"");
            QCOMPARE(io.messages.size(), std::size_t(2));
            QCOMPARE(io.messages[1].text, U("no-such-editorがみつかりません。"));
        }
    }

    void editingWithoutAFileAsksForTheSettings() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        config.diaryPage.clear();
        ScriptedInteraction io;
        RecordingHost host;
        EditDiaryPage(nullptr, config, io, host);
        QVERIFY(host.starts.empty());
        QCOMPARE(io.messages.size(), std::size_t(1));
    }

    void textManualMissingNamesItsPath() {
        TempDir dir;
        ActiveConfig config = MakeConfig(dir);
        ScriptedInteraction io;
        RecordingHost host;
        OpenTextManual(nullptr, config, io, host);
        QCOMPARE(io.messages.size(), std::size_t(1));
        QCOMPARE(io.messages[0].text, U(dir.dir() + "とりせつ.txtがみつかりません。"));
        QCOMPARE(io.messages[0].caption, U("取説ないよ？"));
        QVERIFY(host.starts.empty());
    }

    void pathSettingsCommandSelectsThePageHoweverClosed() {
        TempDir dir;
        SetFixedClock(ParseLocalTime("2003-03-05 10:00:00"));
        ActiveConfig config = MakeConfig(dir);
        WriteBytes(config.prototypePath, "<html><!-- proto --></html>");
        RunState run;
        ScriptedInteraction io;
        RecordingHost host;
        io.dialogs.push_back([](QDialog& d) {
            d.findChild<QRadioButton*>("id2001")->click();
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        EditFilePaths(nullptr, config, run, io, host);
        SetFixedClock(std::nullopt);
        const std::string page = dir / "diary03-Mar.html";
        QCOMPARE(QString::fromStdString(config.diaryPage), QString::fromStdString(page));
        // The dialog only named the page; the selection afterwards made it.
        QVERIFY(std::filesystem::exists(page));
        QCOMPARE(host.messages.size(), std::size_t(1));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::WindowCommandsTest)
#include "window_commands_test.moc"
