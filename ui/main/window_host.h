// How the engine reaches the user while the main window runs: messages in
// the window's boxes, the settings dialogs through openers that whoever
// builds those dialogs attaches, and programs started detached.
#pragma once

#include <functional>

#include "engine/host.h"

class QWidget;

namespace qm {

class Interaction;

class WindowHost : public Host {
  public:
    // Each opener runs its dialog modally on the record and returns true when
    // it ran; false (or no opener at all) tells the engine there is no dialog.
    using Opener = std::function<bool(ActiveConfig&)>;

    WindowHost(QWidget& owner, Interaction& interaction);

    Opener pathSettingsOpener;
    Opener setManagerOpener;
    // The platform's detached start unless replaced (tests replace it).
    ProgramStarter programStarter;

    void ShowMessage(std::string_view text, std::string_view caption) override;
    bool OpenPathSettings(ActiveConfig& config) override;
    bool OpenSetManager(ActiveConfig& config) override;
    StartResult StartProgram(std::string_view programCp932,
                             const std::vector<std::string>& nativeArguments,
                             StartWait wait) override;

  private:
    QWidget& owner_;
    Interaction& interaction_;
};

}  // namespace qm
