// The active configuration set's paths and flags, owned by the main window (or
// the command line) for the whole run and lent to every settings dialog.
// All texts are code page 932 bytes.
#pragma once

#include <string>
#include <string_view>

#include "platform/native_path.h"
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

// The file system's names for the stored paths of a set, each converted once
// where its stored text is read or chosen (the program folder when the run
// starts, the set's paths when they are read, the page when it is chosen); a
// path that could not be converted holds why.
struct NativeSetPaths {
    FileResult<NativePath> programDir = NoFileName();
    FileResult<NativePath> diaryPage = NoFileName();
    FileResult<NativePath> diaryFolder = NoFileName();
    FileResult<NativePath> prototypePath = NoFileName();
    FileResult<NativePath> templatePath = NoFileName();
    FileResult<NativePath> logPath = NoFileName();
    FileResult<NativePath> currentCopy = NoFileName();  // diaryFolder + currentName
    FileResult<NativePath> feed = NoFileName();         // diaryFolder + feed.file
};

// The set's feed (section FEED); an empty file name keeps no feed.
struct FeedSettings {
    std::string file;   // a plain file name in the diary folder
    std::string site;   // the diary folder's address, "http(s)://.../"
    std::string title;  // empty: the set's name
    int count = feedkeys::kCount.defaultValue;
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
    FeedSettings feed;
    // WEBIMAGE: web copies of images (on or off), their longest side, JPEG quality.
    int webCopies = imagekeys::kCopy.defaultValue;
    int imageLongestSide = imagekeys::kLongestSide.defaultValue;
    int imageQuality = imagekeys::kQuality.defaultValue;
    NativeSetPaths native;
};

// programDir + name + ".ini": the only way a set's file is ever found.
std::string SetIniPath(const std::string& programDir, const std::string& setName);

// The file system's name of a program file ("temp.tmp", "QMsys.ini"),
// whose name is the same in every encoding.
FileResult<NativePath> NativeProgramFile(const ActiveConfig& config, std::string_view asciiName);

// Converts the set's paths (prototype, template, log, the diary folder and
// the current copy) into config.native, each once, after they were read or
// typed; native.programDir must be set. The diary page is chosen later.
void NoteNativeSetPaths(ActiveConfig& config);

// `prototypePath` cut after its last separator, or programDir when it has none.
std::string DiaryFolderFor(const std::string& prototypePath, const std::string& programDir);

}  // namespace qm
