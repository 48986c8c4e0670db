#include "ui/main/window_host.h"

#include "platform/process.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"

namespace qm {

WindowHost::WindowHost(QWidget& owner, Interaction& interaction)
    : programStarter(qm::StartProgram), owner_(owner), interaction_(interaction) {}

void WindowHost::ShowMessage(std::string_view text, std::string_view caption) {
    interaction_.Message(&owner_, EditTextFromCp932(text), FromCp932(caption),
                         Interaction::Buttons::Ok, Interaction::Icon::None);
}

bool WindowHost::OpenPathSettings(ActiveConfig& config) {
    return pathSettingsOpener ? pathSettingsOpener(config) : false;
}

bool WindowHost::OpenSetManager(ActiveConfig& config) {
    return setManagerOpener ? setManagerOpener(config) : false;
}

StartResult WindowHost::StartProgram(std::string_view programCp932,
                                     const std::vector<std::string>& nativeArguments,
                                     StartWait wait) {
    return programStarter ? programStarter(programCp932, nativeArguments, wait)
                          : StartResult::Failed;
}

}  // namespace qm
