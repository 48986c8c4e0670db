// The manuals, "とりせつ.html" and "とりせつ.txt": where they are found and how
// they are opened, from a button or with F1 in any window.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

class QWidget;

namespace qm {

class Interaction;

inline constexpr std::string_view kTextManualName = "とりせつ.txt";
inline constexpr std::string_view kHtmlManualName = "とりせつ.html";
// The desktop's own opener for a file of any kind.
inline constexpr std::string_view kDesktopOpener = "xdg-open";

// Starts a program detached; code page 932 texts, as Host::StartProgram.
using ProgramStarter = std::function<StartResult(std::string_view, std::string_view)>;

// The program's own folder (UTF-8, ending in '/'), where the manuals are
// looked for: the executable's folder, whatever --home says, unless set
// otherwise for the whole run (the upload tool names the folder above its own).
std::string ManualProgramFolder();
void SetManualProgramFolder(std::optional<std::string> folderUtf8);

// Where a manual is looked for, in order: beside the program (a portable
// folder or the build folder), then where an installed system keeps the
// manuals, seen from the program's folder and from the one above it.
std::vector<std::string> ManualFolders(const std::string& programFolderUtf8);

// Where a manual of that name was looked for under ManualProgramFolder(), one
// path a line, for the message that it is missing: beside the program, and
// each installed place whose share/ folder exists.
QString ManualPlacesLookedAt(std::string_view fileNameUtf8);

// The full path (UTF-8) of the first manual of that name; none when missing.
std::optional<std::string> FindManual(std::string_view fileNameUtf8,
                                      const std::string& programFolderUtf8);

// Opens the file (a UTF-8 path) with the desktop's opener. Without one, or
// for a path code page 932 cannot hold, says where the file is instead:
// `noOpenerFormat` takes the opener's name as %1 and the path as %2.
bool OpenWithDesktop(QWidget* parent, const QString& path, Interaction& io,
                     const ProgramStarter& start, std::string_view noOpenerFormat,
                     std::string_view caption);

enum class ManualOpened { Started, NoManual, NoOpener };

// Opens the manual of ManualProgramFolder() with the desktop's opener. When
// the opener is missing the user is told the manual's full path; a missing
// manual is left to the caller, whose words differ.
ManualOpened OpenManual(QWidget* parent, std::string_view fileNameUtf8, Interaction& io,
                        const ProgramStarter& start);

// F1 in every window of the application opens the HTML manual, or the text
// manual when there is no HTML one. One per application, made after it.
class HelpKey : public QObject {
  public:
    HelpKey(Interaction& io, ProgramStarter start);
    ~HelpKey() override;

    // Opens the manual as F1 does, over `parent`.
    void OpenHelp(QWidget* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Interaction& io_;
    ProgramStarter start_;
};

}  // namespace qm
