// Connects the main window's settings commands, tag builders and the host's
// dialog openers to the windows that serve them.
#pragma once

#include "ui/config/set_manager_dialog.h"

namespace qm {

class MainDialog;

class WindowCommands {
  public:
    // Attaches everything before `window` is initialised; this object must
    // live as long as the window (it keeps the set manager's memory).
    explicit WindowCommands(MainDialog& window);

  private:
    void AttachOpeners();
    void AttachSettingsButtons();
    void AttachTagBuilders();
    void AttachTakeBack();
    void OnAddSet();  // 1029

    MainDialog& window_;
    SetManagerMemory setManagerMemory_;
};

}  // namespace qm
