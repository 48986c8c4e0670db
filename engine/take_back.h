// Taking back the last entry: a successful generate keeps, in the program
// folder, the earlier versions of every file it changed (the diary page, the
// log page, the current copy, the feed) and how each file stood once it had written it.
// Taking back restores those versions, and removes a page the generate's
// roll-over made and the web copies of images it wrote, but only while every file still stands as
// the generate left it: a file changed since stops it before anything is touched.
//
// Keeping the record costs a generate next to nothing, whatever the size of
// the pages: an earlier version is the old file itself, given a second name
// in the record before the new one takes its place (copied only where the
// record's folder is on another file system), and a file's standing is its
// stamp (platform/file_stamp.h), not a digest of its bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/process.h"

namespace qm {

struct ActiveConfig;
struct RunState;
class Host;

// The folder under the program folder that holds the record.
inline constexpr std::string_view kTakeBackFolder = "undo/";

// A roll-over of this run: the page it made and the log page around it, as
// they stood before and right after. A log page is small: its earlier bytes
// are kept as they were.
struct RollOverNote {
    std::string page;
    NativePath pageNative;
    std::optional<FileStamp> pageAfter;  // std::nullopt while no page was made
    std::string logPath;
    NativePath logNative;
    std::optional<std::string> logBefore;
    std::optional<FileStamp> logStampBefore;
    std::optional<FileStamp> logAfter;
};

// Called around the roll-over in the page selection.
void NoteBeforeRollOver(const ActiveConfig& config, RunState& run);
void NoteAfterRollOver(const ActiveConfig& config, RunState& run);

// One file before the entry goes in: `staged` names its earlier version,
// given a second name in the record's folder (empty when the file did not
// exist, or was made by this generate's roll-over).
struct FileBefore {
    std::string path;   // code page 932
    NativePath native;  // empty when the path has no name the file system takes
    std::string staged;
    std::optional<FileStamp> stamp;  // the file itself once staged
};

// What the entry's page and the current copy hold before the entry goes in.
// A page that still stands as this run's roll-over made it counts as made by
// this generate (nothing is staged), and the log link that came with it as well.
// The current copy is staged only when this generate will write it.
struct EntryBefore {
    FileBefore page;
    std::optional<RollOverNote> rollOver;
    FileBefore currentCopy;
    FileBefore feed;                      // staged only when the set keeps a feed
    std::vector<std::string> madeImages;  // web copies the generate wrote, to remove again
    std::string recordProblem;            // why no record can be kept: "file: answer", or empty
};
EntryBefore NoteBeforeEntry(const ActiveConfig& config, const RunState& run);

// After a successful generate: replaces the record with this generate's.
// When it cannot be kept, no older record is left behind and the host is
// told (the entry stays written).
void KeepForTakeBack(const ActiveConfig& config, const EntryBefore& before, Host& host);

enum class TakeBackStatus {
    TakenBack,      // every file is as before the generate
    NothingToTake,  // no record (none made yet, or taken back already)
    ChangedSince,   // `file` no longer holds what the generate wrote
    Failed,         // `file` could not be read or restored
    Busy,           // a generate is running; its message has been shown
};

struct TakeBackOutcome {
    TakeBackStatus status = TakeBackStatus::NothingToTake;
    std::string file;                   // the file a refusal or failure is about
    std::string problem;                // on Failed: "file: the system's answer" (or our reason)
    std::vector<std::string> restored;  // files given back their earlier bytes
    std::vector<std::string> removed;   // pages and image copies the generate had made
    StartResult upload = StartResult::Started;
    bool uploadStarted = false;
    std::string uploaderPath;
};

// Takes back the last generate recorded in `programDirCp932`; when `upload`
// is set and anything was restored, starts the upload tool of the record's
// set with the restored files, as the generate command would. The record is
// the program's own: "undo/" is used only as a folder of the program folder
// (never through a link), and each file it names must be one a generate of
// its set writes, each earlier version a regular file in it; every check is
// made before any file is touched.
TakeBackOutcome TakeBackLastEntry(const std::string& programDirCp932, bool upload, Host& host);

// Whether a generate is recorded to take back (it may still be refused).
bool TakeBackRecorded(const std::string& programDirCp932);

}  // namespace qm
