// `quillmaker feed`: shows or sets a set's feed.
#pragma once

#include "cli/command_line.h"

namespace qm {

// Runs the command; returns the exit status: 0 shown or set, 1 the settings
// could not be read or written, 2 usage error (or settings refused).
int RunFeedCommandLine(const GlobalOptions& options);

}  // namespace qm
