#include "ui/main/window_commands.h"

#include <QAction>

#include "ui/config/config_dialogs.h"
#include "ui/main/main_dialog.h"
#include "ui/main/take_back_command.h"

namespace qm {

WindowCommands::WindowCommands(MainDialog& window) : window_(window) {
    AttachOpeners();
    AttachTakeBack();
}

void WindowCommands::AttachOpeners() {
    WindowHost& host = window_.host();
    host.pathSettingsOpener = [this](ActiveConfig& config) {
        RunPathSettingsDialog(&window_, config, window_.interaction());
        return true;
    };
    host.setManagerOpener = [this](ActiveConfig& config) {
        const bool accepted = RunSetManagerDialog(&window_, config, window_.setManagerMemory(),
                                                  window_.interaction(), window_.host());
        // While no set exists the manager comes back after OK; Escape before
        // the window was ever shown ends the program, so a first start
        // without a diary can still be left.
        return accepted || window_.isVisible();
    };
}

void WindowCommands::AttachTakeBack() {
    // Beside the About entry, in the window's context menu.
    auto* takeBack = new QAction(QStringLiteral("取り消し"), &window_);
    takeBack->setObjectName(QStringLiteral("takeBackAction"));
    takeBack->setShortcut(QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z));
    QObject::connect(takeBack, &QAction::triggered, &window_,
                     [this] { TakeBackLastEntryCommand(window_); });
    window_.addAction(takeBack);
}

}  // namespace qm
