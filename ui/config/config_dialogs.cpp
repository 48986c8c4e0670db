#include "ui/config/config_dialogs.h"

#include <QDialog>

#include "ui/common/interaction.h"
#include "ui/config/path_settings_dialog.h"

namespace qm {

bool RunPathSettingsDialog(QWidget* parent, ActiveConfig& config, Interaction& io) {
    PathSettingsDialog dialog(config, io, parent);
    return io.RunDialog(dialog) == QDialog::Accepted;
}

bool RunSetManagerDialog(QWidget* parent, ActiveConfig& config, SetManagerMemory& memory,
                         Interaction& io, Host& host) {
    SetManagerDialog dialog(config, memory, io, host, parent);
    return io.RunDialog(dialog) == QDialog::Accepted;
}

}  // namespace qm
