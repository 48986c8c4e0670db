#include <windows.h>

#include "platform/system_clock.h"

namespace qm {

std::tm ReadSystemLocalTime() {
    // The time zone as the control panel sets it, not the C library's TZ.
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    static constexpr int kDaysBeforeMonth[] = {0,   31,  59,  90,  120, 151,
                                               181, 212, 243, 273, 304, 334};
    const int year = now.wYear;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    local.tm_yday =
        kDaysBeforeMonth[now.wMonth - 1] + now.wDay - 1 + (leap && now.wMonth > 2 ? 1 : 0);
    local.tm_isdst = -1;
    return local;
}

}  // namespace qm
