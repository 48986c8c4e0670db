#include "engine/split_mode.h"

namespace qm {

SplitMode SplitModeFromStored(int stored) {
    switch (stored) {
        case 1:
            return SplitMode::Monthly;
        case 2:
            return SplitMode::Weekly;
        case 3:
            return SplitMode::HalfMonthly;
        default:
            return SplitMode::Unchanged;
    }
}

bool RollsOver(SplitMode mode) { return mode != SplitMode::Unchanged; }

bool IsSecondHalfOfMonth(const std::tm& time) { return time.tm_mday >= 15; }

}  // namespace qm
