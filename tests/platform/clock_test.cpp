#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>

namespace qm {
namespace {

std::tm Parsed(const char* text) {
    std::optional<std::tm> time = ParseLocalTime(text);
    EXPECT_TRUE(time.has_value()) << text;
    return time.value_or(std::tm{});
}

// The C library's own rendering; in the C locale it agrees with the original
// platform for every code except %c.
std::string LibraryFormat(const char* format, const std::tm& time) {
    char buffer[128];
    std::size_t length = std::strftime(buffer, sizeof buffer, format, &time);
    return std::string(buffer, length);
}

// Fields of a broken-down time as the C library works them out from a date.
std::tm LibraryBreakdown(int year, int month, int day) {
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    std::time_t seconds = timegm(&date);
    std::tm out{};
    gmtime_r(&seconds, &out);
    return out;
}

TEST(ParseLocalTime, ReadsEveryFieldAndFillsWeekdayAndDayOfYear) {
    std::tm time = Parsed("2003-01-15 21:05:09");
    EXPECT_EQ(time.tm_year, 103);
    EXPECT_EQ(time.tm_mon, 0);
    EXPECT_EQ(time.tm_mday, 15);
    EXPECT_EQ(time.tm_hour, 21);
    EXPECT_EQ(time.tm_min, 5);
    EXPECT_EQ(time.tm_sec, 9);
    EXPECT_EQ(time.tm_wday, 3);  // a Wednesday
    EXPECT_EQ(time.tm_yday, 14);
}

TEST(ParseLocalTime, WeekdayAndDayOfYearMatchTheCalendarOverManyYears) {
    for (int year : {1900, 1970, 1999, 2000, 2003, 2004, 2026, 2100, 2400, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d 12:00:00", year, month, day);
                std::tm expected = LibraryBreakdown(year, month, day);
                std::optional<std::tm> time = ParseLocalTime(text);
                // A day the month does not have rolls over in the library's reckoning.
                if (expected.tm_mon != month - 1) {
                    EXPECT_FALSE(time.has_value()) << text;
                    continue;
                }
                ASSERT_TRUE(time.has_value()) << text;
                EXPECT_EQ(time->tm_wday, expected.tm_wday) << text;
                EXPECT_EQ(time->tm_yday, expected.tm_yday) << text;
            }
        }
    }
}

TEST(ParseLocalTime, AcceptsTheEdgesOfEveryField) {
    EXPECT_TRUE(ParseLocalTime("2004-02-29 00:00:00"));
    EXPECT_TRUE(ParseLocalTime("2000-02-29 23:59:59"));
    EXPECT_TRUE(ParseLocalTime("2003-12-31 23:59:59"));
    EXPECT_EQ(Parsed("2004-12-31 00:00:00").tm_yday, 365);
}

TEST(ParseLocalTime, RejectsValuesOutOfRange) {
    for (const char* text : {"2003-13-01 00:00:00", "2003-00-10 00:00:00", "2003-02-30 00:00:00",
                             "2003-02-29 00:00:00", "1900-02-29 00:00:00", "2003-04-31 00:00:00",
                             "2003-01-00 00:00:00", "2003-01-32 00:00:00", "2003-01-15 24:00:00",
                             "2003-01-15 23:60:00", "2003-01-15 23:59:60", "0000-01-01 00:00:00"}) {
        EXPECT_FALSE(ParseLocalTime(text)) << text;
    }
}

TEST(ParseLocalTime, RejectsMalformedText) {
    for (const char* text :
         {"", "2003-01-15", "2003-01-15 21:05:09 ", " 2003-01-15 21:05:09", "2003-01-15 21:05:09x",
          "2003-01-15T21:05:09", "2003/01/15 21:05:09", "2003-1-15 21:05:09", "2003-01-15 1:05:09",
          "2003-01-15 21:05:9", "2003-01-+5 21:05:09", "2003-01-1a 21:05:09", "20O3-01-15 21:05:09",
          "2003-01-15 21-05-09", "+003-01-15 21:05:09"}) {
        EXPECT_FALSE(ParseLocalTime(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(ParseLocalTime(std::string_view("2003-01-15 21:05:0\0", 19)));
}

TEST(Clock, FixedReadingStandsUntilCleared) {
    std::tm fixed = Parsed("2003-02-05 09:04:07");
    SetFixedClock(fixed);
    for (int i = 0; i < 2; ++i) {
        std::tm reading = ReadLocalClock();
        EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S %w %j", reading), "2003-02-05 09:04:07 3 036");
    }

    SetFixedClock(std::nullopt);
    std::time_t before = std::time(nullptr);
    std::tm reading = ReadLocalClock();
    std::time_t after = std::time(nullptr);
    std::tm local{};
    localtime_r(&before, &local);
    std::time_t read = std::mktime(&reading);
    EXPECT_GE(read, before);
    EXPECT_LE(read, after);
    EXPECT_EQ(reading.tm_yday, local.tm_yday);
}

TEST(Clock, FixedReadingGetsItsWeekdayAndDayOfYear) {
    std::tm fixed{};
    fixed.tm_year = 103;
    fixed.tm_mon = 11;
    fixed.tm_mday = 31;
    fixed.tm_hour = 23;
    SetFixedClock(fixed);
    std::tm reading = ReadLocalClock();
    SetFixedClock(std::nullopt);
    EXPECT_EQ(reading.tm_wday, 3);  // a Wednesday
    EXPECT_EQ(reading.tm_yday, 364);
    EXPECT_EQ(reading.tm_mday, 31);
    EXPECT_EQ(reading.tm_hour, 23);
}

TEST(Clock, FixedReadingOutOfRangeIsNormalised) {
    std::tm fixed{};
    fixed.tm_year = 103;
    fixed.tm_mon = 0;
    fixed.tm_mday = 32;
    fixed.tm_hour = 24;
    fixed.tm_min = 1;
    SetFixedClock(fixed);
    std::tm reading = ReadLocalClock();
    SetFixedClock(std::nullopt);
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S %a %j", reading), "2003-02-02 00:01:00 Sun 033");
}

TEST(FormatTime, AgreesWithTheCLibraryForEveryCodeButC) {
    const char* codes[] = {"%a", "%A", "%b", "%B", "%d", "%H", "%I", "%j", "%m",
                           "%M", "%p", "%S", "%U", "%w", "%y", "%Y", "%%"};
    for (int year : {1900, 1999, 2000, 2003, 2004, 2100}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                              (day * 7) % 24, (day * 13) % 60, (day * 17) % 60);
                std::optional<std::tm> time = ParseLocalTime(text);
                if (!time) continue;
                for (const char* code : codes) {
                    ASSERT_EQ(FormatTime(code, *time), LibraryFormat(code, *time))
                        << code << " on " << text;
                }
            }
        }
    }
}

TEST(FormatTime, CIsMonthDayYearAndTwentyFourHourTime) {
    EXPECT_EQ(FormatTime("%c", Parsed("2003-01-15 21:05:09")), "01/15/03 21:05:09");
    EXPECT_EQ(FormatTime("%c", Parsed("2000-12-01 00:00:00")), "12/01/00 00:00:00");
    EXPECT_EQ(FormatTime("<!-- %c -->", Parsed("2026-07-04 09:08:07")),
              "<!-- 07/04/26 09:08:07 -->");
}

TEST(FormatTime, TwelveHourClockAroundMidnightAndNoon) {
    struct Case {
        int hour;
        const char* expected;
    };
    for (Case c : {Case{0, "12 AM 00"}, Case{1, "01 AM 01"}, Case{11, "11 AM 11"},
                   Case{12, "12 PM 12"}, Case{13, "01 PM 13"}, Case{23, "11 PM 23"}}) {
        std::tm time = Parsed("2003-01-15 00:30:00");
        time.tm_hour = c.hour;
        EXPECT_EQ(FormatTime("%I %p %H", time), c.expected) << c.hour;
    }
}

TEST(FormatTime, WeekNumbersAndDaysOfTheYearAtTheYearsEdges) {
    // 2003 begins on a Wednesday: its first days are week 00 until Sunday the 5th.
    EXPECT_EQ(FormatTime("%U %j", Parsed("2003-01-01 00:00:00")), "00 001");
    EXPECT_EQ(FormatTime("%U %j", Parsed("2003-01-04 00:00:00")), "00 004");
    EXPECT_EQ(FormatTime("%U %j", Parsed("2003-01-05 00:00:00")), "01 005");
    EXPECT_EQ(FormatTime("%U %j", Parsed("2003-12-31 00:00:00")), "52 365");
    // 2006 begins on a Sunday, and leap year 2004 has a 366th day.
    EXPECT_EQ(FormatTime("%U %j", Parsed("2006-01-01 00:00:00")), "01 001");
    EXPECT_EQ(FormatTime("%U %j", Parsed("2004-12-31 00:00:00")), "52 366");
}

TEST(FormatTime, NamesAreEnglish) {
    EXPECT_EQ(FormatTime("%a %A %b %B", Parsed("2003-02-05 00:00:00")),
              "Wed Wednesday Feb February");
    EXPECT_EQ(FormatTime("%a %A %b %B", Parsed("2003-09-07 00:00:00")), "Sun Sunday Sep September");
}

TEST(FormatTime, UnknownCodesAndATrailingPercentStandAsWritten) {
    std::tm time = Parsed("2003-02-05 09:04:07");
    EXPECT_EQ(FormatTime("%q %Z x%", time), "%q %Z x%");
    EXPECT_EQ(FormatTime("100%% %d", time), "100% 05");
    EXPECT_EQ(FormatTime("", time), "");
}

TEST(CRandom, RepeatsTheOriginalLibrarysSequence) {
    // The first draws after srand(1) on the original platform.
    CRandom one(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(one.Next(), expected);
    }
    CRandom zero(0);
    EXPECT_EQ(zero.Next(), 38);
    CRandom again(59);
    CRandom same(59);
    for (int i = 0; i < 100; ++i) {
        int value = again.Next();
        ASSERT_EQ(value, same.Next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 0x7FFF);
    }
}

}  // namespace
}  // namespace qm
