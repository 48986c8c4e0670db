// The configuration dialogs as the main window opens them. Every modal box
// goes through `io`.
#pragma once

#include "ui/config/set_manager_dialog.h"

class QWidget;

namespace qm {

struct ActiveConfig;
class Host;
class Interaction;

// The file path settings of the set named by config.configIniPath. True when
// closed with OK, false for Escape.
bool RunPathSettingsDialog(QWidget* parent, ActiveConfig& config, Interaction& io);

// The set manager; `memory` lives as long as the main window. True when
// closed with OK, false for Escape.
bool RunSetManagerDialog(QWidget* parent, ActiveConfig& config, SetManagerMemory& memory,
                         Interaction& io, Host& host);

}  // namespace qm
