// The main window on a program folder, with its commands attached and
// program starts recorded.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "support/diary_folder.h"
#include "ui/main/main_dialog.h"
#include "ui/main/window_commands.h"
#include "ui/support/scripted_interaction.h"
#include "ui/tags/tag_list_editor_dialog.h"

namespace qm::test {

using Answer = Interaction::Answer;
using Start = std::pair<std::string, std::vector<std::string>>;  // program, arguments

// The main window on `folder`, every command attached, program starts
// recorded (answered with `startAnswer`), shown and active.
struct Opened {
    ScriptedInteraction io;
    std::unique_ptr<MainDialog> dialog;
    std::unique_ptr<WindowCommands> commands;
    std::vector<Start> starts;
    StartResult startAnswer = StartResult::Started;

    explicit Opened(const ProgramFolder& folder) {
        dialog = std::make_unique<MainDialog>(io, folder.dir());
        commands = std::make_unique<WindowCommands>(*dialog);
        dialog->host().programStarter = [this](std::string_view program,
                                               const std::vector<std::string>& args, StartWait) {
            starts.emplace_back(program, args);
            return startAnswer;
        };
        if (!dialog->Initialise()) qFatal("the main window did not open");
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        if (!QTest::qWaitForWindowActive(dialog.get())) qFatal("the main window is not active");
    }
    MainDialog* operator->() { return dialog.get(); }

    void Generate(const QString& title, const QString& body = QStringLiteral("本文")) {
        dialog->titleEdit()->setText(title);
        dialog->bodyEdit()->setPlainText(body);
        dialog->button(kIdGenerate)->click();
    }
};

}  // namespace qm::test
