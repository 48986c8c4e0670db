// Clearing up after a run that was killed while it wrote.
#pragma once

namespace qm {

struct ActiveConfig;

// Removes the temporary files a killed run left beside the files a generate
// writes: the settings files, the entry file and the last entry's text in the program folder, the
// diary pages, the prototype and the current copy in the diary folder, and
// the log page in its folder. Other files are never touched.
void RemoveLeftoverTemporaries(const ActiveConfig& config);

}  // namespace qm
