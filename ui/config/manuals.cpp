#include "ui/config/manuals.h"

#include "engine/host.h"
#include "engine/program_arguments.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/program_dir.h"
#include "settings/active_config.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/config/config_messages.h"

namespace qm {

namespace {

// The manual in the program folder, else beside the executable (a build tree),
// else where an installed system keeps it; the program folder's path when
// none has it, for the message.
std::string ManualPath(const ActiveConfig& config, std::string_view fileNameUtf8) {
    const std::string inProgramFolder = config.programDir + Utf8ToCp932(fileNameUtf8).value_or("");
    if (FileExists(inProgramFolder)) return inProgramFolder;
    const std::string executableFolder = ExecutableFolder();
    for (const std::string& folder : {executableFolder, InstalledManualFolder(executableFolder)}) {
        auto path = Utf8ToCp932(folder + std::string(fileNameUtf8));
        if (path && FileExists(*path)) return *path;
    }
    return inProgramFolder;
}

// xdg-open itself always starts, so a missing manual is found out here.
StartResult OpenWithDesktop(const std::string& pathCp932, Host& host) {
    if (!FileExists(pathCp932)) return StartResult::NotFound;
    return host.StartProgram(cfgmsg::kFileOpener, QuoteArgument(pathCp932));
}

}  // namespace

void OpenTextManual(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host) {
    const std::string path = ManualPath(config, cfgmsg::kTextManualName);
    if (!FileExists(path)) {
        io.Message(parent, Ui(cfgmsg::kNotFoundFormat).arg(FromCp932(path)),
                   Ui(cfgmsg::kNoManualCaption));
        return;
    }
    if (OpenWithDesktop(path, host) == StartResult::NotFound) {
        io.Message(parent, Ui(cfgmsg::kNotFoundFormat).arg(Ui(cfgmsg::kFileOpener)),
                   Ui(cfgmsg::kNoManualCaption));
    }
}

void OpenHtmlManual(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host) {
    if (OpenWithDesktop(ManualPath(config, cfgmsg::kHtmlManualName), host) ==
        StartResult::NotFound) {
        io.Message(parent, Ui(cfgmsg::kNoHtmlManualText), Ui(cfgmsg::kNoHtmlManualCaption));
    }
}

}  // namespace qm
