// A program folder to run the main window on, the window itself with its
// commands attached and program starts recorded.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "platform/clock.h"
#include "platform/encoding.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/main/main_dialog.h"
#include "ui/main/window_commands.h"
#include "ui/support/scripted_interaction.h"
#include "ui/tags/tag_list_editor_dialog.h"

namespace qm::test {

using Answer = Interaction::Answer;
using Start = std::pair<std::string, std::vector<std::string>>;  // program, arguments

inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8).value(); }

inline constexpr std::string_view kPageText =
    "<html>\r\n<!-- ここに挿入 -->\r\n<p>older entry</p>\r\n</html>\r\n";

// A folder whose clock stands still; settings files are written from UTF-8
// lines as Shift-JIS with CR LF.
struct ProgramFolder : TempDir {
    ProgramFolder() { SetFixedClock(ParseLocalTime("2026-12-07 10:20:30")); }
    ~ProgramFolder() { SetFixedClock(std::nullopt); }

    std::string path(std::string_view name) const { return *this / name; }
    std::string systemIni() const { return path("QMsys.ini"); }
    void WriteSystemIni(std::string_view lines) const { WriteFile("QMsys.ini", Crlf(lines)); }
    void WriteFile(std::string_view name, std::string_view utf8) const {
        WriteBytes(path(name), Sjis(utf8));
    }
    std::string ReadFile(std::string_view name) const { return ReadBytes(path(name)); }

    // A set whose page and template lie here; `extra` e.g. "EDIT=1\n" for monthly pages.
    void WriteSet(std::string_view name, std::string_view page, std::string_view templ,
                  std::string_view extra = "EDIT=0\n") const {
        WriteFile(std::string(name) + ".ini",
                  Crlf("[FILEPATH]\nORIGINAL=" + path(page) + "\nTEMPLET=" + path(templ) + "\n" +
                       std::string(extra)));
    }
    // One set "a" with a page holding the insert marker and a template.
    void WriteOneSet(std::string_view extra = "EDIT=0\n") const {
        WriteSystemIni("[INI]\n0=a\n");
        WriteSet("a", "page.html", "templet.txt", extra);
        WriteFile("page.html", kPageText);
        WriteFile("templet.txt", "<h2>*!</h2>\r\n<p>*?</p>\r\n");
    }

    int ReadInt(std::string_view section, std::string_view key) const {
        return ReadProfileInt(systemIni(), section, key, -999);
    }
    std::string ReadText(std::string_view section, std::string_view key) const {
        return ReadProfileString(systemIni(), section, key, "<absent>", 1024);
    }
    bool PageHas(std::string_view name, std::string_view utf8) const {
        return ReadFile(name).find(Sjis(utf8)) != std::string::npos;
    }
    static std::string Crlf(std::string_view text) {
        return QString::fromUtf8(text.data(), text.size()).replace("\n", "\r\n").toStdString();
    }
};

struct OneSet : ProgramFolder {
    OneSet() { WriteOneSet(); }
};

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
