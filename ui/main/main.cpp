// The program: with a subcommand it runs on the command line and exits with
// that command's status; without one it opens the main window, which is the
// whole run until it ends.
#include <QApplication>
#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "platform/process.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/common/qt_translations.h"
#include "ui/common/text_editor_window.h"
#include "ui/main/main_dialog.h"
#include "ui/main/window_commands.h"

namespace {

int RunMainWindow(const qm::GlobalOptions& options, char* programName) {
    // Qt gets no arguments of ours to misread as its own.
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("Quillmaker"));
    // Ties the window to the installed desktop entry (its name and icon).
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillmaker.Quillmaker"));
    qm::LoadQtTranslations(app);

    qm::DesktopInteraction interaction;
    const qm::HelpKey help(interaction, qm::StartProgram);
    qm::MainDialog window(interaction, qm::ProgramDirCp932(options));
    QApplication::setWindowIcon(window.windowIcon());
    // The settings commands, the tag builders and the host's dialog openers
    // are attached before the window loads its settings.
    qm::WindowCommands commands(window);
    if (!window.Initialise()) {
        std::fprintf(stderr, "quillmaker: no configuration set could be loaded\n");
        return 1;
    }
    window.exec();
    return 0;
}

// `quillmaker edit FILE`: the Shift-JIS text editor the window starts for
// the template and the diary page.
int RunEditor(const qm::GlobalOptions& options) {
    if (options.rest.size() != 2 || options.rest[1].empty()) {
        std::fprintf(stderr, "usage: quillmaker edit FILE\n");
        return 2;
    }
    const std::string& file = options.rest[1];
    return qm::RunTextEditor(file.front() == '/' ? file : options.startDir + file);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = qm::ParseGlobalOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
        return 2;
    }
    if (options->help) {
        qm::PrintUsage(stdout);
        return 0;
    }
    if (!qm::ApplyGlobalOptions(*options, error)) {
        std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
        return 2;
    }
    if (!options->rest.empty() && options->rest.front() == "edit") return RunEditor(*options);
    if (!options->rest.empty()) return qm::RunSubcommand(*options);
    return RunMainWindow(*options, argv[0]);
}
