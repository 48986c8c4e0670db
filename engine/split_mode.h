// The roll-over rules: which modes make new pages and where a month splits.
#pragma once

#include <ctime>

#include "settings/active_config.h"

namespace qm {

// The stored EDIT value as a mode; any value other than 1 to 3 keeps editing
// the prototype page, as a hand-edited file may hold anything.
SplitMode SplitModeFromStored(int stored);

// True for the modes that roll over to new pages.
bool RollsOver(SplitMode mode);

// Days 1 to 14 are the first half of the month, 15 onwards the second.
bool IsSecondHalfOfMonth(const std::tm& time);

}  // namespace qm
