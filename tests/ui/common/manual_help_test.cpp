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

// What a stand-in opener was asked to start, in UTF-8.
struct Starts {
    QStringList seen;
    StartResult answer = StartResult::Started;

    ProgramStarter Starter() {
        return [this](std::string_view program, std::string_view parameters) {
            seen << QString::fromStdString(Cp932ToUtf8(program).value_or("?") + " " +
                                           Cp932ToUtf8(parameters).value_or("?"));
            return answer;
        };
    }
};

QStringList OpenedWith(const std::string& path) {
    return {QString::fromStdString("xdg-open \"" + path + "\"")};
}

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

    void F1OpensTheHtmlManualFromEveryWindow() {
        ProgramWithManuals program{kHtml, kText};
        OneSet home;  // --home: its own manual must not be the one opened
        home.WriteFile(kHtml, "decoy");
        ScriptedInteraction io;
        Starts starts;
        const HelpKey help(io, starts.Starter());
        MainDialog main(io, home.dir());
        QVERIFY(main.Initialise());
        ShowActive(main);
        SetManagerMemory memory;
        TempDir empty;
        ActiveConfig firstStart;
        auto windows = AllDialogs(main, io, memory, firstStart, empty.dir());
        windows.emplace_back("editor", [&]() -> std::unique_ptr<QWidget> {
            auto editor = std::make_unique<TextEditorWindow>(home.path("templet.txt"), io);
            editor->Load();
            return editor;
        });

        QTest::keyClick(main.titleEdit(), Qt::Key_F1);
        QCOMPARE(starts.seen, OpenedWith(program.path(kHtml)));
        for (const auto& [name, make] : windows) {
            starts.seen.clear();
            const std::unique_ptr<QWidget> window = make();
            ShowActive(*window);
            io.messages.clear();  // the first-set view says there is no set yet
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : window.get(), Qt::Key_F1);
            QVERIFY2(starts.seen == OpenedWith(program.path(kHtml)),
                     qPrintable(QString::fromUtf8(name) + ": " + starts.seen.join(", ")));
            QVERIFY(io.messages.empty());
            window->close();
        }
    }

    // F1 falls back to the text manual, then names the missing one; without
    // an opener the manual's full path is given.
    void F1WithoutAManualOrAnOpenerSaysWhatIsMissing() {
        ScriptedInteraction io;
        Starts starts;
        const HelpKey help(io, starts.Starter());
        QWidget window;
        ShowActive(window);
        {
            ProgramWithManuals program{kText};
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(starts.seen, OpenedWith(program.path(kText)));
        }
        {
            ProgramWithManuals none{};
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(starts.seen.size(), 1);
            QCOMPARE(io.messages.size(), std::size_t{1});
            QCOMPARE(io.messages[0].text, QString::fromStdString(none.path(kText)) +
                                              QStringLiteral("がみつかりません。"));
            QCOMPARE(io.messages[0].caption, QStringLiteral("取説ないよ？"));
        }
        ProgramWithManuals program{kHtml, kText};
        starts.answer = StartResult::NotFound;  // no xdg-open on this system
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(io.messages.size(), std::size_t{2});
        const QString text = io.messages[1].text;
        QVERIFY2(text.contains(QStringLiteral("xdg-open")), qPrintable(text));
        QVERIFY2(text.endsWith(QString::fromStdString(program.path(kHtml))), qPrintable(text));
        QCOMPARE(io.messages[1].caption, QStringLiteral("取説開けないよ？"));
    }

    void TheManualButtonsUseTheProgramsFolderNotTheHomeFolder() {
        ProgramWithManuals program{kHtml, kText};
        OneSet home;
        home.WriteFile(kText, "decoy");
        Opened w(home);
        QVERIFY(w.dialog);
        w->button(kIdManual)->click();
        QVERIFY(w.starts ==
                std::vector{Start("xdg-open", "\"" + Sjis(program.path(kText)) + "\"")});
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ManualHelpTest)
#include "manual_help_test.moc"
