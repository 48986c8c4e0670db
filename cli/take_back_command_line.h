// `quillmaker undo`: takes the last entry back, as the window's "取り消し" does.
#pragma once

#include "cli/command_line.h"

namespace qm {

// Runs the command; returns the exit status: 0 taken back (and the upload
// tool started when asked), 1 nothing taken back, 2 usage error, 3 taken
// back but the upload tool was not found.
int RunTakeBackCommandLine(const GlobalOptions& options);

}  // namespace qm
