#include "cli/take_back_command_line.h"

#include <cstdio>

#include "cli/console_host.h"
#include "engine/last_entry.h"
#include "engine/program_start.h"
#include "engine/take_back.h"
#include "settings/keys.h"

namespace qm {

int RunTakeBackCommandLine(const GlobalOptions& options) {
    std::optional<bool> upload;
    for (std::size_t i = 1; i < options.rest.size(); ++i) {
        const std::string& word = options.rest[i];
        if (word != "--upload" && word != "--no-upload") {
            std::fprintf(stderr, "quillmaker undo: unknown argument \"%s\"\n", word.c_str());
            std::fprintf(stderr, "try: quillmaker --help\n");
            return 2;
        }
        if (upload && *upload != (word == "--upload")) {
            std::fprintf(stderr,
                         "quillmaker undo: --upload and --no-upload contradict each other\n");
            return 2;
        }
        upload = word == "--upload";
    }
    const std::string programDir = ProgramDirCp932(options);
    // As with generate: the stored upload box decides when nothing is said.
    if (!upload) upload = ReadKey(programDir + std::string(kSystemIniName), syskeys::kUp) == 1;

    ConsoleHost host;
    const TakeBackOutcome outcome = TakeBackLastEntry(programDir, *upload, host);
    switch (outcome.status) {
        case TakeBackStatus::NothingToTake:
            std::fprintf(stderr, "quillmaker undo: there is no entry to take back\n");
            return 1;
        case TakeBackStatus::ChangedSince:
            std::fprintf(stderr,
                         "quillmaker undo: %s has changed since the last generate; nothing was "
                         "taken back\n",
                         TerminalText(outcome.file).c_str());
            return 1;
        case TakeBackStatus::Busy:
            return 1;  // the message is out already
        case TakeBackStatus::Failed:
            std::fprintf(stderr, "quillmaker undo: cannot take back %s\n  %s\n",
                         TerminalText(outcome.file).c_str(), TerminalText(outcome.problem).c_str());
            return 1;
        case TakeBackStatus::TakenBack:
            break;
    }
    for (const std::string& path : outcome.restored) {
        std::printf("restored %s\n", TerminalText(path).c_str());
    }
    for (const std::string& path : outcome.removed) {
        std::printf("removed %s\n", TerminalText(path).c_str());
    }
    // The words are not lost with the entry: they wait to be mended and written again.
    if (ReadLastEntry(NativePathOf(programDir))) {
        std::printf("the entry's title and text are kept in %s\n",
                    TerminalText(LastEntryPath(programDir)).c_str());
    }
    if (outcome.uploadStarted && !TellIfNotStarted(outcome.upload, outcome.uploaderPath, host)) {
        return 3;
    }
    return 0;
}

}  // namespace qm
