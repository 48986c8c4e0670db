// The manuals: found beside the program or where it is installed (never in
// the --home folder), opened with F1 from every window and from the manual
// buttons, and named by their full path when there is no opener.
#include "ui/common/manual_help.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <functional>

#include "platform/encoding.h"
#include "ui/common/text_editor_window.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/path_settings_dialog.h"
#include "ui/config/set_manager_dialog.h"
#include "ui/main/about_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/main/window_commands.h"
#include "ui/tags/anchor_tag_dialog.h"
#include "ui/tags/font_tag_dialog.h"
#include "ui/tags/image_tag_dialog.h"
#include "ui/tags/tag_list_editor_dialog.h"

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

QString Opened(const std::string& path) {
    return QString::fromStdString("xdg-open \"" + path + "\"");
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
        const auto make = [&](const std::string& folder) {
            std::filesystem::create_directories(root / folder);
            WriteBytes(root / (folder + kText), "manual");
        };
        make("portable/");
        make("usr/share/doc/quillmaker/");
        std::filesystem::create_directories(root / "usr/bin");
        std::filesystem::create_directories(root / "usr/lib/quillmaker");
        std::filesystem::create_directories(root / "elsewhere/bin");

        QCOMPARE(FindManual(kText, root / "portable/"), root / ("portable/" + kText));
        QCOMPARE(FindManual(kText, root / "usr/bin/"),
                 root / ("usr/share/doc/quillmaker/" + kText));
        // The upload tool names the folder above its own, which may lie deeper.
        QCOMPARE(FindManual(kText, root / "usr/lib/quillmaker/"),
                 root / ("usr/share/doc/quillmaker/" + kText));
        QVERIFY(!FindManual(kText, root / "elsewhere/bin/"));
        QVERIFY(!FindManual(kHtml, root / "usr/bin/"));

        // A manual beside the program wins over an installed one.
        WriteBytes(root / ("usr/bin/" + kText), "newer");
        QCOMPARE(FindManual(kText, root / "usr/bin/"), root / ("usr/bin/" + kText));
    }

    void F1OpensTheHtmlManualFromEveryWindow() {
        ProgramWithManuals program{kHtml, kText};
        ProgramFolder home;  // --home: its own manual must not be the one opened
        home.WriteOneSet();
        home.WriteFile(kHtml, "decoy");
        ScriptedInteraction io;
        Starts starts;
        const HelpKey help(io, starts.Starter());
        MainDialog main(io, home.dir());
        QVERIFY(main.Initialise());
        ShowActive(main);
        SetManagerMemory memory;

        const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>>
            windows = {
                {"anchor", [&] { return std::make_unique<AnchorTagDialog>(&main); }},
                {"font", [&] { return std::make_unique<FontTagDialog>(io, &main); }},
                {"image", [&] { return std::make_unique<ImageTagDialog>(io, &main); }},
                {"tag list",
                 [&] { return std::make_unique<TagListEditorDialog>(main.config(), io, &main); }},
                {"paths",
                 [&] { return std::make_unique<PathSettingsDialog>(main.config(), io, &main); }},
                {"current name",
                 [&] { return std::make_unique<CurrentNameDialog>(main.config(), &main); }},
                {"log format",
                 [&] { return std::make_unique<LogFormatDialog>(main.config(), io, &main); }},
                {"set manager",
                 [&] {
                     return std::make_unique<SetManagerDialog>(main.config(), memory, io,
                                                               main.host(), &main);
                 }},
                {"about", [&] { return std::make_unique<AboutDialog>(&main); }},
                {"editor",
                 [&] {
                     auto editor = std::make_unique<TextEditorWindow>(home.path("templet.txt"), io);
                     editor->Load();
                     return editor;
                 }},
            };

        QTest::keyClick(main.titleEdit(), Qt::Key_F1);
        QCOMPARE(starts.seen, QStringList{Opened(program.path(kHtml))});
        for (const auto& [name, make] : windows) {
            starts.seen.clear();
            const std::unique_ptr<QWidget> window = make();
            ShowActive(*window);
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : window.get(), Qt::Key_F1);
            QVERIFY2(starts.seen == QStringList{Opened(program.path(kHtml))},
                     qPrintable(QString::fromUtf8(name) + ": " + starts.seen.join(", ")));
            window->close();
        }
        QVERIFY(io.messages.empty());
    }

    void F1FallsBackToTheTextManualAndSaysWhatIsMissing() {
        ScriptedInteraction io;
        Starts starts;
        const HelpKey help(io, starts.Starter());
        QWidget window;
        ShowActive(window);
        {
            ProgramWithManuals program{kText};
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(starts.seen, QStringList{Opened(program.path(kText))});
        }
        ProgramWithManuals none{};
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(starts.seen.size(), 1);
        QCOMPARE(io.messages.size(), std::size_t{1});
        QCOMPARE(io.messages[0].text,
                 QString::fromStdString(none.path(kText)) + QStringLiteral("がみつかりません。"));
        QCOMPARE(io.messages[0].caption, QStringLiteral("取説ないよ？"));
    }

    void WithoutAnOpenerTheManualsFullPathIsGiven() {
        ProgramWithManuals program{kHtml, kText};
        ScriptedInteraction io;
        Starts starts;
        starts.answer = StartResult::NotFound;  // no xdg-open on this system
        const HelpKey help(io, starts.Starter());
        QWidget window;
        ShowActive(window);
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(io.messages.size(), std::size_t{1});
        const QString text = io.messages[0].text;
        QVERIFY2(text.contains(QStringLiteral("xdg-open")), qPrintable(text));
        QVERIFY2(text.endsWith(QString::fromStdString(program.path(kHtml))), qPrintable(text));
        QCOMPARE(io.messages[0].caption, QStringLiteral("取説開けないよ？"));
    }

    void TheManualButtonsUseTheProgramsFolderNotTheHomeFolder() {
        ProgramWithManuals program{kHtml, kText};
        ProgramFolder home;
        home.WriteOneSet();
        home.WriteFile(kText, "decoy");
        ScriptedInteraction io;
        MainDialog window(io, home.dir());
        WindowCommands commands(window);
        QVERIFY(window.Initialise());
        Starts starts;
        window.host().programStarter = starts.Starter();

        window.button(kIdManual)->click();
        QCOMPARE(starts.seen, QStringList{Opened(program.path(kText))});

        // The set manager's first-set view offers both manuals.
        TempDir empty;
        ActiveConfig firstStart;
        InitConfig(firstStart, empty.dir());
        SetManagerMemory memory;
        SetManagerDialog manager(firstStart, memory, io, window.host(), &window);
        manager.findChild<QPushButton*>(QStringLiteral("id1056"))->click();
        QCOMPARE(starts.seen.last(), Opened(program.path(kHtml)));

        starts.answer = StartResult::NotFound;
        const std::size_t shown = io.messages.size();
        manager.findChild<QPushButton*>(QStringLiteral("id1055"))->click();
        QCOMPARE(io.messages.size(), shown + 1);
        QVERIFY(io.messages.back().text.endsWith(QString::fromStdString(program.path(kText))));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ManualHelpTest)
#include "manual_help_test.moc"
