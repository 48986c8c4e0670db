// The manuals, "とりせつ.html" and "とりせつ.txt": where they are found and how
// they are opened, from a button or with F1 in any window.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"  // ProgramStarter

class QWidget;

namespace qm {

class Interaction;

inline constexpr std::string_view kTextManualName = "とりせつ.txt";
inline constexpr std::string_view kHtmlManualName = "とりせつ.html";
// The desktop's own opener for a file of any kind.
inline constexpr std::string_view kDesktopOpener = "xdg-open";

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

// What the user is told when the desktop's opener did not open a file, so
// the file can be opened by hand: %1 is the opener, %2 the file's full path.
struct OpenerTexts {
    std::string_view noOpenerFormat;  // there is no opener
    std::string_view failedFormat;    // it did not start, or found nothing to open the file with
    std::string_view caption;
};

// Opens the file (a UTF-8 path) with the desktop's opener. When that fails,
// whatever the cause, or for a path code page 932 cannot hold, says where the
// file is instead.
bool OpenWithDesktop(QWidget* parent, const QString& path, Interaction& io,
                     const ProgramStarter& start, const OpenerTexts& texts);

enum class ManualOpened { Started, NoManual, NoOpener };

// Opens the manual of ManualProgramFolder() with the desktop's opener. When
// the opener is missing the user is told the manual's full path; a missing
// manual is left to the caller, whose words differ.
ManualOpened OpenManual(QWidget* parent, std::string_view fileNameUtf8, Interaction& io,
                        const ProgramStarter& start);

// Tells the user the text manual is missing, naming where it was looked for.
void TellNoManual(QWidget* parent, Interaction& io);

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
