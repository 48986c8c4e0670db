// Loading the active set and the whole "Do It !!!" flow.
#pragma once

#include <string>
#include <vector>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "settings/active_config.h"

namespace qm {

class Host;

// Fresh start: empties every field and sets programDir and systemIniPath.
void InitConfig(ActiveConfig& config, const std::string& programDirCp932);

// What LoadConfiguration reads from the system settings file.
struct SystemState {
    std::vector<std::string> setNames;
    int windowWidth = 565;
    int windowHeight = 499;
};

// Reads STATE, WINDOWSIZE and the set list; while no set exists asks the host
// for the set manager (false from the host: returns false, nothing loaded).
// Clamps currentSetIndex to the list and ends with LoadPaths.
bool LoadConfiguration(ActiveConfig& config, RunState& run, SystemState& state, Host& host);

// Recomputes configIniPath from currentSetIndex and reads the set's FILEPATH
// keys, then selects the diary page; opens the path settings when the
// prototype or template path is empty (and selects again after it).
void LoadPaths(ActiveConfig& config, RunState& run, Host& host);

enum class GenerateResult {
    Written,          // entry in the page (upload started when asked)
    WrittenNoUploader,// entry in the page, the upload tool was not found
    Failed,           // nothing written; the window stays
};

// The flow behind "Do It !!!": reload, compose, insert, current copy, upload.
GenerateResult GenerateCommand(ActiveConfig& config, RunState& run, const EntryInput& input,
                               Host& host);

// The upload tool's parameter text for the files this generate changed.
std::string UploadParameters(const ActiveConfig& config, const RunState& run,
                             bool currentCopyMade);

}  // namespace qm
