// Loading the active set and the whole "Do It !!!" flow.
#pragma once

#include <string>
#include <vector>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/feed.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "settings/profile.h"

namespace qm {

class Host;

// Fresh start: empties every field and sets programDir (given a final '/'
// when it lacks one) and systemIniPath = programDir + "QMsys.ini".
void InitConfig(ActiveConfig& config, const std::string& programDirCp932);

// What LoadConfiguration reads from the system settings file, and the file
// as it was read, for the rest of the start to read from.
struct SystemState {
    SettingsFile system;
    std::vector<std::string> setNames;
    int windowWidth = kDefaultWindowWidth;
    int windowHeight = kDefaultWindowHeight;
};

// The set a stored set number names in a list of `setCount` sets: the first
// one when the number lies outside the list.
int SetIndexInList(int storedIndex, int setCount);

// Reads STATE, WINDOWSIZE and the set list; while no set exists asks the host
// for the set manager. Sets an index outside the list to 0 and ends with
// LoadPaths, holding the program folder's lock. False (after a message) when
// a set or a path is missing and the host has no dialog to mend it: the
// caller then stops. A set that cannot be read, or a lock another run keeps,
// is said so and loading ends there with true: the set list is filled and
// another set can be chosen.
bool LoadConfiguration(ActiveConfig& config, RunState& run, SystemState& state, Host& host);

// Sets configIniPath to the file of set number `setIndex` of the system
// file's set list and reads its FILEPATH keys, each file once; selects no
// page, so nothing is created. False after a message when the set's name or
// a settings file cannot be used: the paths are then empty and no file of
// the set is touched.
bool ReadSetPaths(ActiveConfig& config, const SettingsFile& system, int setIndex, Host& host);
// The same, reading the system file first.
bool ReadSetPaths(ActiveConfig& config, int setIndex, Host& host);

// Reads the paths of set run.currentSetIndex, then selects the diary page;
// opens the path settings when the prototype or template path is empty (and
// selects again after it). False (after a message) when the set cannot be
// read, the settings were needed and the host has no dialog, or a new
// period's page could not be made.
bool LoadPaths(ActiveConfig& config, RunState& run, Host& host,
               NewPageWrite newPage = NewPageWrite::Now);

enum class GenerateResult {
    Written,            // entry in the page (upload started when asked)
    WrittenNoUploader,  // entry in the page, the upload tool did not start (said why)
    Failed,             // no entry written; the window stays with the typed text
};

// The flow behind "Do It !!!": reload, compose, insert, current copy, upload,
// all of it holding the program folder's lock (Failed, writing nothing, when
// another run keeps it). The window is closed by the caller on Written and
// WrittenNoUploader.
GenerateResult GenerateCommand(ActiveConfig& config, RunState& run, const EntryInput& input,
                               Host& host);

// diaryFolder + currentName.
std::string CurrentCopyPath(const ActiveConfig& config);

// The upload tool's arguments: the files this generate changed, one native
// path each, with the images it publishes (their web copies).
std::vector<std::string> UploadArguments(const ActiveConfig& config, const RunState& run,
                                         const std::vector<std::string>& images,
                                         bool currentCopyMade, bool feedWritten = false);

// Section FEED of a set's file.
FeedSettings ReadFeedSettings(const SettingsFile& setFile);

// diaryFolder + the feed's file name.
std::string FeedPath(const ActiveConfig& config);

// What the feed receives of the entry `entryText` composed from `input`,
// with one reading of the clock.
FeedEntryInput FeedInputFor(const ActiveConfig& config, const EntryInput& input,
                            std::string_view entryText);

}  // namespace qm
