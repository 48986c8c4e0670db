#include "ui/main/window_commands.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "ui/config/config_commands.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/manuals.h"
#include "ui/main/draft.h"
#include "ui/main/main_dialog.h"
#include "ui/main/take_back_command.h"
#include "ui/tags/tag_builders.h"

namespace qm {

WindowCommands::WindowCommands(MainDialog& window) : window_(window) {
    AttachOpeners();
    AttachSettingsButtons();
    AttachTagBuilders();
    AttachTakeBack();
}

void WindowCommands::AttachOpeners() {
    WindowHost& host = window_.host();
    host.pathSettingsOpener = [this](ActiveConfig& config) {
        RunPathSettingsDialog(&window_, config, window_.interaction());
        return true;
    };
    host.setManagerOpener = [this](ActiveConfig& config) {
        const bool accepted = RunSetManagerDialog(&window_, config, setManagerMemory_,
                                                  window_.interaction(), window_.host());
        // While no set exists the manager comes back after OK; Escape before
        // the window was ever shown ends the program, so a first start
        // without a diary can still be left.
        return accepted || window_.isVisible();
    };
}

void WindowCommands::AttachSettingsButtons() {
    MainDialog& w = window_;
    auto on = [&w](int id, auto handler) {
        QObject::connect(w.button(id), &QPushButton::clicked, &w, handler);
    };
    on(kIdFtpSettings, [&w] { StartUploaderSetup(w.config(), w.host()); });
    on(kIdPathSettings,
       [&w] { EditFilePaths(&w, w.config(), w.runState(), w.interaction(), w.host()); });
    on(kIdEditTemplate, [&w] { EditTemplate(&w, w.config(), w.interaction(), w.host()); });
    on(kIdEditPage, [&w] { EditDiaryPage(&w, w.config(), w.interaction(), w.host()); });
    on(kIdManual, [&w] { OpenTextManual(&w, w.interaction(), w.host()); });
    on(kIdAddSet, [this] { OnAddSet(); });
    on(kIdBrowseImage, [&w] {
        // The same name chosen twice changes no box, but the image list grows.
        if (ChooseEntryImage(&w, w.runState(), *w.imageNameEdit(), *w.altTextEdit(),
                             w.interaction())) {
            w.draft().NoteChange();
        }
    });
}

void WindowCommands::AttachTakeBack() {
    // Beside the About entry, in the window's context menu.
    auto* takeBack = new QAction(QStringLiteral("取り消し"), &window_);
    takeBack->setObjectName(QStringLiteral("takeBackAction"));
    QObject::connect(takeBack, &QAction::triggered, &window_,
                     [this] { TakeBackLastEntryCommand(window_); });
    window_.addAction(takeBack);
}

void WindowCommands::OnAddSet() {
    RunSetManagerDialog(&window_, window_.config(), setManagerMemory_, window_.interaction(),
                        window_.host());
    // Whatever happened there, the list, the selection and the paths are read again.
    window_.LoadConfiguration();
}

void WindowCommands::AttachTagBuilders() {
    MainDialog& w = window_;
    auto wrapWith = [&w](std::optional<TagWrap> wrap) {
        if (wrap) w.WrapBodySelection(wrap->open, wrap->close);
    };
    QObject::connect(w.button(kIdAnchorBuilder), &QPushButton::clicked, &w,
                     [&w, wrapWith] { wrapWith(RunAnchorTagDialog(&w, w.interaction())); });
    QObject::connect(w.button(kIdFontBuilder), &QPushButton::clicked, &w,
                     [&w, wrapWith] { wrapWith(RunFontTagDialog(&w, w.interaction())); });
    QObject::connect(w.button(kIdImageBuilder), &QPushButton::clicked, &w, [&w, wrapWith] {
        wrapWith(RunImageTagDialog(&w, w.interaction(), w.runState().imageUploadList));
    });
}

}  // namespace qm
