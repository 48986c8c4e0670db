// The window program, started by quillmaker when no subcommand is given: the
// main window is the whole run until it ends; `edit FILE` opens the text
// editor window. The other subcommands belong to quillmaker alone.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "platform/process.h"
#include "platform/utf8_path.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/common/qt_translations.h"
#include "ui/common/text_editor_window.h"
#include "ui/common/window_system.h"
#include "ui/main/main_dialog.h"
#include "ui/main/single_window.h"
#include "ui/main/window_commands.h"

namespace {

// QUILLMAKER_EXIT_AFTER_FIRST_FRAME=1 ends the program as soon as the main
// window has painted once: start-up can then be timed from outside.
class ExitAfterFirstFrame : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !exiting_) {
            exiting_ = true;
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool exiting_ = false;
};

int RunMainWindow(const qm::GlobalOptions& options, char* programName) {
    // Qt gets no arguments of ours to misread as its own.
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    std::optional<QApplication> started;
    qm::StartApplication(started, qtArgc, qtArgv);
    QApplication& app = *started;
    QApplication::setApplicationName(QStringLiteral("Quillmaker"));
    // Ties the window to the installed desktop entry (its name and icon).
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillmaker.Quillmaker"));
    qm::LoadQtTranslations(app);

    qm::DesktopInteraction interaction;
    const qm::HelpKey help(interaction, qm::StartProgram);
    qm::SingleWindow single(qm::ProgramDirCp932(options));
    if (!single.IsFirst()) {
        if (single.BringFirstToFront()) {
            std::fprintf(stderr,
                         "quillmaker: the window on %s is open already: it is in front now\n",
                         options.homeDir.c_str());
            return 0;
        }
        interaction.Message(nullptr,
                            QStringLiteral("%1\nこのフォルダの日記のウィンドウはもう開いています。")
                                .arg(QString::fromStdString(options.homeDir)),
                            QStringLiteral("もう開いてるよ"), qm::Interaction::Buttons::Ok,
                            qm::Interaction::Icon::Information);
        return 1;
    }
    qm::MainDialog window(interaction, qm::ProgramDirCp932(options));
    QApplication::setWindowIcon(window.windowIcon());
    // The settings commands, the tag builders and the host's dialog openers
    // are attached before the window loads its settings.
    qm::WindowCommands commands(window);
    single.ServeRequests(window);
    if (!window.Initialise()) {
        std::fprintf(stderr, "quillmaker: no configuration set could be loaded\n");
        return 1;
    }
    ExitAfterFirstFrame exitAfterFirstFrame;
    if (const char* exitAfter = std::getenv("QUILLMAKER_EXIT_AFTER_FIRST_FRAME");
        exitAfter != nullptr && std::string(exitAfter) == "1") {
        window.installEventFilter(&exitAfterFirstFrame);
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
    return qm::RunTextEditor(qm::PathOfUtf8(file).is_absolute() ? file : options.startDir + file);
}

}  // namespace

int main(int argc, char** argv) {
    const qm::Utf8Arguments utf8(argc, argv);
    int exitCode = 0;
    const auto options = qm::ReadGlobalOptions(argc, argv, exitCode);
    if (!options) return exitCode;
    if (!qm::ApplyGlobalOptions(*options)) return 2;
    if (!options->rest.empty() && options->rest.front() == "edit") return RunEditor(*options);
    if (!options->rest.empty()) {
        std::fprintf(stderr, "quillmaker-window: \"%s\" is a command of quillmaker\n",
                     options->rest.front().c_str());
        std::fprintf(stderr, "try: quillmaker --help\n");
        return 2;
    }
    return RunMainWindow(*options, argv[0]);
}
