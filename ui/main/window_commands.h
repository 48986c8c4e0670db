// Attaches the host's dialog openers and the window's context-menu commands;
// the buttons' commands are in main_controls.cpp.
#pragma once

namespace qm {

class MainDialog;

class WindowCommands {
  public:
    // Attaches everything before `window` is initialised.
    explicit WindowCommands(MainDialog& window);

  private:
    void AttachOpeners();
    void AttachTakeBack();

    MainDialog& window_;
};

}  // namespace qm
