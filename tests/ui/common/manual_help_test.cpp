// The manuals: found beside the program or where it is installed (never in
// the --home folder), opened with F1 from every window and from the manual
// buttons, and named by their full path when there is no opener.
#include "ui/common/manual_help.h"

#include <filesystem>

#include "ui/common/text_editor_window.h"
#include "ui/main/main_window_fixture.h"

namespace qm::test {

namespace {

const std::string kText = "とりせつ.txt";
const std::string kHtml = "とりせつ.html";

Start XdgOpen(const std::string& path) { return {"xdg-open", "\"" + Sjis(path) + "\""}; }

// The program's own folder for this test, apart from the --home folder.
struct ProgramWithManuals {
    TempDir program;
    explicit ProgramWithManuals(std::initializer_list<std::string> manuals) {
        for (const std::string& name : manuals) WriteBytes(program / name, "manual");
        SetManualProgramFolder(program.dir());
    }
    ~ProgramWithManuals() { SetManualProgramFolder(std::nullopt); }
    std::string path(const std::string& name) const { return program / name; }
};

void ShowActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class ManualHelpTest : public QObject {
    Q_OBJECT

  private slots:
    void ManualsAreFoundBesideTheProgramOrWhereItIsInstalled() {
        TempDir root;
        for (const char* folder : {"portable/", "usr/share/doc/quillmaker/", "usr/bin/",
                                   "usr/lib/quillmaker/", "elsewhere/bin/"}) {
            std::filesystem::create_directories(root / folder);
        }
        WriteBytes(root / ("portable/" + kText), "manual");
        const std::string installed = root / ("usr/share/doc/quillmaker/" + kText);
        WriteBytes(installed, "manual");
        QCOMPARE(FindManual(kText, root / "portable/"), root / ("portable/" + kText));
        QCOMPARE(FindManual(kText, root / "usr/bin/"), installed);
        // The upload tool names the folder above its own, which may lie deeper.
        QCOMPARE(FindManual(kText, root / "usr/lib/quillmaker/"), installed);
        QVERIFY(!FindManual(kText, root / "elsewhere/bin/"));
        QVERIFY(!FindManual(kHtml, root / "usr/bin/"));
        // A manual beside the program wins over an installed one.
        WriteBytes(root / ("usr/bin/" + kText), "newer");
        QCOMPARE(FindManual(kText, root / "usr/bin/"), root / ("usr/bin/" + kText));
    }

    // F1 in every window, and the manual button, open the manuals beside
    // the program, never those of the --home folder.
    void F1AndTheManualButtonOpenTheProgramsManuals() {
        ProgramWithManuals program{kHtml, kText};
        OneSet home;
        home.WriteFile(kHtml, "decoy");
        home.WriteFile(kText, "decoy");
        Opened w(home);
        const HelpKey help(w.io, w->host().programStarter);
        SetManagerMemory memory;
        TempDir empty;
        ActiveConfig firstStart;
        auto windows = AllDialogs(*w, w.io, memory, firstStart, empty.dir());
        windows.emplace_back("editor", [&]() -> std::unique_ptr<QWidget> {
            auto editor = std::make_unique<TextEditorWindow>(home.path("templet.txt"), w.io);
            editor->Load();
            return editor;
        });
        w->button(kIdManual)->click();
        QVERIFY(w.starts == std::vector{XdgOpen(program.path(kText))});
        w.starts.clear();
        QTest::keyClick(w->titleEdit(), Qt::Key_F1);
        QVERIFY(w.starts == std::vector{XdgOpen(program.path(kHtml))});
        for (const auto& [name, make] : windows) {
            w.starts.clear();
            const std::unique_ptr<QWidget> window = make();
            ShowActive(*window);
            w.io.messages.clear();  // the first-set view says there is no set yet
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : window.get(), Qt::Key_F1);
            QVERIFY2(w.starts == std::vector{XdgOpen(program.path(kHtml))}, name);
            QVERIFY(w.io.messages.empty());
            window->close();
        }
    }

    // F1 falls back to the text manual, then names the missing one; without
    // an opener the manual's full path is given.
    void F1WithoutAManualOrAnOpenerSaysWhatIsMissing() {
        ScriptedInteraction io;
        std::vector<Start> starts;
        StartResult answer = StartResult::Started;
        const HelpKey help(io, [&](std::string_view program, std::string_view args) {
            starts.emplace_back(program, args);
            return answer;
        });
        QWidget window;
        ShowActive(window);
        {
            ProgramWithManuals program{kText};
            QTest::keyClick(&window, Qt::Key_F1);
            QVERIFY(starts == std::vector{XdgOpen(program.path(kText))});
        }
        {
            ProgramWithManuals none{};
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(starts.size(), std::size_t{1});
            QCOMPARE(io.messages.size(), std::size_t{1});
            QCOMPARE(io.messages[0].text, QString::fromStdString(none.path(kText)) +
                                              QStringLiteral("がみつかりません。"));
            QCOMPARE(io.messages[0].caption, QStringLiteral("取説ないよ？"));
        }
        ProgramWithManuals program{kHtml, kText};
        answer = StartResult::NotFound;  // no xdg-open on this system
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(io.messages.size(), std::size_t{2});
        const QString text = io.messages[1].text;
        QVERIFY2(text.contains(QStringLiteral("xdg-open")), qPrintable(text));
        QVERIFY2(text.endsWith(QString::fromStdString(program.path(kHtml))), qPrintable(text));
        QCOMPARE(io.messages[1].caption, QStringLiteral("取説開けないよ？"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ManualHelpTest)
#include "manual_help_test.moc"
