// The active configuration set's paths and flags, owned by the main window (or
// the command line) for the whole run and lent to every settings dialog.
// All texts are code page 932 bytes.
#pragma once

#include <string>

#include "settings/keys.h"

namespace qm {

// How often entries move on to a new page (key EDIT). The values are the ones
// stored in the set's file.
enum class SplitMode : int {
    Unchanged = 0,  // the prototype page itself receives every entry
    Monthly = 1,
    Weekly = 2,
    HalfMonthly = 3,
};

struct ActiveConfig {
    std::string diaryPage;      // page that entries now go into (mirrored into QUILL)
    std::string diaryFolder;    // where new pages and the current copy are made
    std::string prototypePath;  // ORIGINAL
    std::string templatePath;   // TEMPLET
    std::string uploaderPath;   // FTP
    std::string configIniPath;  // programDir + set name + ".ini"
    std::string systemIniPath;  // programDir + "QMsys.ini"
    std::string logPath;        // LOG
    std::string programDir;     // ends in '/'
    std::string currentName;    // CURRENTNAME
    // LOGSETTING/TITLE of the system file, read with the set's paths.
    std::string logTitle = std::string(syskeys::kLogTitle.defaultValue);
    int upFlag = 0;                              // STATE/UP as read at the last load
    SplitMode splitMode = SplitMode::Unchanged;  // EDIT
    int makeCurrentCopy = 0;                     // CURRENT of FILEPATH
    int alwaysOne = 0;                           // ALWAYS1
};

// programDir + name + ".ini": the only way a set's file is ever found.
std::string SetIniPath(const std::string& programDir, const std::string& setName);

// `prototypePath` cut after its last separator, or programDir when it has none.
std::string DiaryFolderFor(const std::string& prototypePath, const std::string& programDir);

}  // namespace qm
