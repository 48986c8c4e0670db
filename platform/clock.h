// The local clock, with a fixed reading for tests and for `--now`.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// One reading of the local time, broken down (tm_wday and tm_yday filled in).
std::tm ReadLocalClock();

// From now on every reading returns `fixed`; std::nullopt returns to the real clock.
void SetFixedClock(std::optional<std::tm> fixed);

// Minutes east of UTC for the local time `local`, as the system's time zone
// has it on that date (daylight saving included); 0 when it cannot tell.
int UtcOffsetMinutes(const std::tm& local);

// Parses "YYYY-MM-DD HH:MM:SS" into a normalised broken-down time, filling the
// weekday and day of the year; std::nullopt for anything malformed or out of range.
std::optional<std::tm> ParseLocalTime(std::string_view text);

// strftime as the C locale of the original platform prints it: English names,
// and "%c" as "%m/%d/%y %H:%M:%S". Supports the codes the diary uses
// (a A b B c d H I j m M p S U w y Y %), others are copied as they stand.
std::string FormatTime(std::string_view format, const std::tm& time);

// The original platform's C library generator (srand/rand), so the same
// second gives the same random digits on every machine.
class CRandom {
  public:
    explicit CRandom(unsigned seed) : state_(seed) {}
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    unsigned state_;
};

}  // namespace qm
