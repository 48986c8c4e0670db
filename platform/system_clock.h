// The system's own reading of the local time; clock.cpp adds the fixed
// reading for tests and --now.
#pragma once

#include <ctime>

namespace qm {

// Broken down, tm_wday and tm_yday filled in.
std::tm ReadSystemLocalTime();

}  // namespace qm
