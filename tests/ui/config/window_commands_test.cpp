// The main window's commands that start other programs or open the settings,
// and the text editor those commands start.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdlib>
#include <filesystem>

#include "engine/diary_page.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "tests/ui/config/config_test_support.h"
#include "ui/common/text_editor_window.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/config_messages.h"

namespace qm::test {
namespace {

// Sets the editor variable (or removes it for nullptr) for one scope.
class EditorVariable {
  public:
    explicit EditorVariable(const char* value) {
        if (const char* old = std::getenv(kEditorVariable)) saved_ = old;
        Set(value);
    }
    ~EditorVariable() { Set(saved_ ? saved_->c_str() : nullptr); }

  private:
    static void Set(const char* value) {
        value ? ::setenv(kEditorVariable, value, 1) : ::unsetenv(kEditorVariable);
    }
    std::optional<std::string> saved_;
};

void Type(TextEditorWindow& window, const QString& text) {
    window.editor()->moveCursor(QTextCursor::End);
    window.editor()->insertPlainText(text);
}

}  // namespace

class WindowCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void uploaderSetupStartsTheToolWithSet() {
        ProgramFolder f;
        f.host.startResults = {StartResult::Started, StartResult::NotFound, StartResult::Failed};
        for (int i = 0; i < 3; ++i) StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(3));
        QVERIFY(f.host.starts[0].program == "tavmo/tavmo.exe");
        QVERIFY(f.host.starts[0].parameters == "/set");
        // Only a missing tool is reported.
        f.ExpectLastMessage(1, "tavmo/tavmo.exeがみつかりません。", "パスが違うよ");

        f.config.uploaderPath.clear();
        StartUploaderSetup(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(3));
        f.ExpectLastMessage(2, "tavmoの場所を指定していません。", "設定してないよ");
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
        QVERIFY(altBox.isEnabled());
        QVERIFY(ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));
        QVERIFY(io.messages.empty());
        QVERIFY(!ChooseEntryImage(nullptr, run, imageBox, altBox, io));  // not Shift-JIS
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(run.imageUploadList == "/img/a.jpg\" \"/img/b.png");
        QCOMPARE(imageBox.text(), QString("b.png"));
        QVERIFY(io.fileChooserFilters[0].contains("*.jpg *.jpeg *.gif *.png"));
    }

    void editorIsThisProgramWithEditAndTheAbsolutePath() {
        ProgramFolder f;
        f.config.templatePath = "my templet.txt";  // relative, with a blank
        f.config.diaryPage = f.dir / "a \"quoted\" page.html";
        EditorVariable unset(nullptr);
        const auto cwd = std::filesystem::current_path();
        std::filesystem::current_path(f.dir.dir());
        EditTemplate(nullptr, f.config, f.io, f.host);
        std::filesystem::current_path(cwd);
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(2));
        QVERIFY(f.host.starts[0].program == "/proc/self/exe");
        const std::string folder = std::filesystem::canonical(f.dir.dir()).string() + "/";
        const std::vector<std::string> template_ = {"edit", folder + "my templet.txt"};
        const std::vector<std::string> page = {"edit", f.config.diaryPage};
        QVERIFY(SplitCommandLine(f.host.starts[0].parameters) == template_);
        QVERIFY(SplitCommandLine(f.host.starts[1].parameters) == page);
        QVERIFY(f.io.messages.empty());

        f.config.diaryPage.clear();
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QCOMPARE(f.host.starts.size(), std::size_t(2));
        f.ExpectLastMessage(1, cfgmsg::kNoFileToEditText, cfgmsg::kNoUploaderCaption);
    }

    void missingEditorNamesTheProgramTried() {
        ProgramFolder f;
        f.config.diaryPage = f.dir / "page.html";
        f.host.startResults = {StartResult::NotFound, StartResult::NotFound};
        {
            EditorVariable unset(nullptr);
            EditTemplate(nullptr, f.config, f.io, f.host);
            const auto self = std::filesystem::read_symlink("/proc/self/exe").string();
            f.ExpectLastMessage(1, self + "がみつかりません。", "パスが違うよ");
        }
        EditorVariable chosen("no-such-editor");
        EditDiaryPage(nullptr, f.config, f.io, f.host);
        QVERIFY(f.host.starts.back().program == "no-such-editor");
        QVERIFY(f.host.starts.back().parameters == "\"" + f.config.diaryPage + "\"");
        f.ExpectLastMessage(2, "no-such-editorがみつかりません。", "パスが違うよ");
    }

    void pathSettingsCommandSelectsThePageHoweverClosed() {
        ProgramFolder f;
        SetFixedClock(ParseLocalTime("2003-03-05 10:00:00"));
        WriteBytes(f.config.prototypePath, "<html><!-- proto --></html>");
        RunState run;
        f.io.dialogs.push_back([](QDialog& d) {
            Click(d, "id2001");
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        EditFilePaths(nullptr, f.config, run, f.io, f.host);
        SetFixedClock(std::nullopt);
        // The dialog only named the page; the selection afterwards made it.
        QVERIFY(f.config.diaryPage == f.dir / "diary03-Mar.html");
        QVERIFY(std::filesystem::exists(f.config.diaryPage));
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
        // Asked first about the references, then whether to overwrite the change.
        io.answers = {Interaction::Answer::No, Interaction::Answer::Yes, Interaction::Answer::No,
                      Interaction::Answer::Yes, Interaction::Answer::Yes};
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
        io.answers = {Interaction::Answer::Cancel, Interaction::Answer::No,
                      Interaction::Answer::Yes};
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

QTEST_MAIN(qm::test::WindowCommandsTest)
#include "window_commands_test.moc"
