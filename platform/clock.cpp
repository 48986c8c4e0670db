#include "platform/clock.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "platform/system_clock.h"

namespace qm {

namespace {

std::optional<std::tm>& FixedReading() {
    static std::optional<std::tm> fixed;
    return fixed;
}

constexpr std::array<const char*, 7> kWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kWeekdayAbbreviations = {"Sun", "Mon", "Tue", "Wed",
                                                              "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> kMonthAbbreviations = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return kDays[static_cast<std::size_t>(month - 1)];
}

// Days from 1 January 1970 to the given proleptic Gregorian date.
long long DaysFromEpoch(int year, int month, int day) {
    long long y = year - (month <= 2 ? 1 : 0);
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yearOfEra = y - era * 400;
    long long shiftedMonth = month > 2 ? month - 3 : month + 9;
    long long dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The proleptic Gregorian date `days` after 1 January 1970.
void DateFromEpochDays(long long days, int& year, int& month, int& day) {
    long long shifted = days + 719468;
    long long era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    long long dayOfEra = shifted - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

long long FloorDiv(long long value, long long divisor) {
    long long quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

// Brings every field into its range (32 January becomes 1 February) and works
// out the weekday and the day of the year, as mktime does but without time zones.
std::tm Normalised(const std::tm& time) {
    long long months = static_cast<long long>(time.tm_year) * 12 + time.tm_mon;
    long long year = FloorDiv(months, 12) + 1900;
    long long month = months - FloorDiv(months, 12) * 12 + 1;
    long long seconds = static_cast<long long>(time.tm_hour) * 3600 +
                        static_cast<long long>(time.tm_min) * 60 + time.tm_sec;
    long long days = DaysFromEpoch(static_cast<int>(year), static_cast<int>(month), 1) +
                     time.tm_mday - 1 + FloorDiv(seconds, 86400);
    seconds -= FloorDiv(seconds, 86400) * 86400;

    std::tm out{};
    int y = 0, m = 0, d = 0;
    DateFromEpochDays(days, y, m, d);
    out.tm_year = y - 1900;
    out.tm_mon = m - 1;
    out.tm_mday = d;
    out.tm_hour = static_cast<int>(seconds / 3600);
    out.tm_min = static_cast<int>(seconds / 60 % 60);
    out.tm_sec = static_cast<int>(seconds % 60);
    out.tm_yday = static_cast<int>(days - DaysFromEpoch(y, 1, 1));
    // 1 January 1970 was a Thursday.
    out.tm_wday = static_cast<int>(days + 4 - FloorDiv(days + 4, 7) * 7);
    out.tm_isdst = time.tm_isdst;
    return out;
}

// Reads exactly `count` decimal digits at `pos`; -1 when any of them is not a digit.
int ReadDigits(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

template <std::size_t N>
const char* NameOf(const std::array<const char*, N>& names, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return "?";
    return names[static_cast<std::size_t>(index)];
}

void AppendNumber(std::string& out, int value, int width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, value);
    out += digits;
}

}  // namespace

std::tm ReadLocalClock() {
    if (FixedReading()) return *FixedReading();
    return ReadSystemLocalTime();
}

int UtcOffsetMinutes(const std::tm& local) {
    std::tm asked = local;
    asked.tm_isdst = -1;  // the zone's own rule for that date
    const std::time_t when = std::mktime(&asked);
    if (when == static_cast<std::time_t>(-1)) return 0;
    // The standard library's one portable way to the UTC reading; the
    // program reads the clock on one thread only.
    const std::tm* utcReading = std::gmtime(&when);
    if (utcReading == nullptr) return 0;
    const std::tm utc = *utcReading;
    const auto secondsOf = [](const std::tm& t) {
        return DaysFromEpoch(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) * 86400 +
               t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
    };
    return static_cast<int>((secondsOf(asked) - secondsOf(utc)) / 60);
}

void SetFixedClock(std::optional<std::tm> fixed) {
    // A reading always carries its weekday and day of the year, however the
    // fixed time was put together.
    if (fixed) fixed = Normalised(*fixed);
    FixedReading() = fixed;
}

std::optional<std::tm> ParseLocalTime(std::string_view text) {
    // "YYYY-MM-DD HH:MM:SS": every separator at its place, every field all digits.
    if (text.size() != 19) return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    int year = ReadDigits(text, 0, 4);
    int month = ReadDigits(text, 5, 2);
    int day = ReadDigits(text, 8, 2);
    int hour = ReadDigits(text, 11, 2);
    int minute = ReadDigits(text, 14, 2);
    int second = ReadDigits(text, 17, 2);
    if (year < 1900 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    if (day > DaysInMonth(year, month)) return std::nullopt;

    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_isdst = -1;
    return Normalised(time);
}

std::string FormatTime(std::string_view format, const std::tm& time) {
    std::string out;
    out.reserve(format.size() + 16);
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        char code = format[++i];
        switch (code) {
            case 'a':
                out += NameOf(kWeekdayAbbreviations, time.tm_wday);
                break;
            case 'A':
                out += NameOf(kWeekdayNames, time.tm_wday);
                break;
            case 'b':
                out += NameOf(kMonthAbbreviations, time.tm_mon);
                break;
            case 'B':
                out += NameOf(kMonthNames, time.tm_mon);
                break;
            case 'c':
                out += FormatTime("%m/%d/%y %H:%M:%S", time);
                break;
            case 'd':
                AppendNumber(out, time.tm_mday, 2);
                break;
            case 'H':
                AppendNumber(out, time.tm_hour, 2);
                break;
            case 'I': {
                int hour = time.tm_hour % 12;
                AppendNumber(out, hour == 0 ? 12 : hour, 2);
                break;
            }
            case 'j':
                AppendNumber(out, time.tm_yday + 1, 3);
                break;
            case 'm':
                AppendNumber(out, time.tm_mon + 1, 2);
                break;
            case 'M':
                AppendNumber(out, time.tm_min, 2);
                break;
            case 'p':
                out += time.tm_hour < 12 ? "AM" : "PM";
                break;
            case 'S':
                AppendNumber(out, time.tm_sec, 2);
                break;
            case 'U':
                // Weeks start on Sunday; days before the year's first Sunday are week 00.
                AppendNumber(out, (time.tm_yday + 7 - time.tm_wday) / 7, 2);
                break;
            case 'w':
                AppendNumber(out, time.tm_wday, 1);
                break;
            case 'y': {
                int year = (time.tm_year + 1900) % 100;
                AppendNumber(out, year < 0 ? year + 100 : year, 2);
                break;
            }
            case 'Y':
                AppendNumber(out, time.tm_year + 1900, 1);
                break;
            case '%':
                out += '%';
                break;
            default:
                out += '%';
                out += code;
                break;
        }
    }
    return out;
}

}  // namespace qm
