// Taking back the last entry: a successful generate keeps, in the program
// folder, the earlier versions of every file it changed (the diary page, the
// log page, the current copy) with a fingerprint of what it wrote into them.
// Taking back restores those versions, and removes a page the generate's
// roll-over made, but only while every file still holds what the generate
// wrote: a file changed since stops it before anything is touched.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace qm {

struct ActiveConfig;
struct RunState;
class Host;

// The folder under the program folder that holds the record.
inline constexpr std::string_view kTakeBackFolder = "undo/";

// A roll-over of this run: the page it made and the log page around it, as
// they were before and right after.
struct RollOverNote {
    std::string page;
    std::optional<std::string> pageAfter;  // std::nullopt when no page was made
    std::string logPath;
    std::optional<std::string> logBefore;
    std::optional<std::string> logAfter;
};

// Called around the roll-over in the page selection.
void NoteBeforeRollOver(const ActiveConfig& config, RunState& run);
void NoteAfterRollOver(const ActiveConfig& config, RunState& run);

// One file's version before a generate (std::nullopt: it did not exist).
struct FileVersion {
    std::string path;  // code page 932
    std::optional<std::string> bytes;
};

// What the entry's page and the current copy hold before the entry goes in.
// A page that still holds just what this run's roll-over made counts as
// made by this generate (its bytes are then std::nullopt), and the log link
// that came with it as well.
struct EntryBefore {
    FileVersion page;
    std::optional<RollOverNote> rollOver;
    FileVersion currentCopy;
};
EntryBefore NoteBeforeEntry(const ActiveConfig& config, const RunState& run);

// After a successful generate: replaces the record with this generate's.
// False when it could not be kept; no older record is left behind then.
bool KeepForTakeBack(const ActiveConfig& config, const EntryBefore& before);

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
    std::vector<std::string> restored;  // files given back their earlier bytes
    std::vector<std::string> removed;   // pages the generate had made
    StartResult upload = StartResult::Started;
    bool uploadStarted = false;
    std::string uploaderPath;
};

// Takes back the last generate recorded in `programDirCp932`; when `upload`
// is set and anything was restored, starts the upload tool of the record's
// set with the restored files, as the generate command would.
TakeBackOutcome TakeBackLastEntry(const std::string& programDirCp932, bool upload, Host& host);

}  // namespace qm
