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

// Runs `check` on every day of the given years, as the C library reckons them,
// with the day's broken-down time and whether ParseLocalTime took the text.
template <typename Check>
void ForEveryDay(std::initializer_list<int> years, Check check) {
    for (int year : years) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                              (day * 7) % 24, (day * 13) % 60, (day * 17) % 60);
                std::tm date{};
                date.tm_year = year - 1900;
                date.tm_mon = month - 1;
                date.tm_mday = day;
                std::time_t seconds = timegm(&date);
                gmtime_r(&seconds, &date);
                check(text, date.tm_mon == month - 1 ? std::optional(date) : std::nullopt,
                      ParseLocalTime(text));
            }
        }
    }
}

TEST(ParseLocalTime, ReadsEveryFieldAndMatchesTheCalendarOverManyYears) {
    std::tm time = Parsed("2003-01-15 21:05:09");
    EXPECT_EQ((std::vector{time.tm_year, time.tm_mon, time.tm_mday, time.tm_hour, time.tm_min,
                           time.tm_sec, time.tm_wday, time.tm_yday}),
              (std::vector{103, 0, 15, 21, 5, 9, 3, 14}));
    ForEveryDay({1900, 1970, 2000, 2003, 2004, 2100, 2400, 9999},
                [](const char* text, std::optional<std::tm> calendar, std::optional<std::tm> time) {
                    ASSERT_EQ(time.has_value(), calendar.has_value()) << text;
                    if (!time) return;
                    EXPECT_EQ(time->tm_wday, calendar->tm_wday) << text;
                    EXPECT_EQ(time->tm_yday, calendar->tm_yday) << text;
                });
}

TEST(ParseLocalTime, RejectsMalformedAndOutOfRangeText) {
    for (const char* text : {"2003-13-01 00:00:00",
                             "2003-00-10 00:00:00",
                             "2003-02-29 00:00:00",
                             "1900-02-29 00:00:00",
                             "2003-04-31 00:00:00",
                             "2003-01-00 00:00:00",
                             "2003-01-15 24:00:00",
                             "2003-01-15 23:60:00",
                             "2003-01-15 23:59:60",
                             "0000-01-01 00:00:00",
                             "",
                             "2003-01-15",
                             "2003-01-15 21:05:09 ",
                             " 2003-01-15 21:05:09",
                             "2003-01-15T21:05:09",
                             "2003/01/15 21:05:09",
                             "2003-1-15 21:05:09",
                             "2003-01-15 1:05:09",
                             "2003-01-+5 21:05:09",
                             "2003-01-1a 21:05:09",
                             "20O3-01-15 21:05:09",
                             "2003-01-15 21-05-09",
                             "+003-01-15 21:05:09"}) {
        EXPECT_FALSE(ParseLocalTime(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(ParseLocalTime(std::string_view("2003-01-15 21:05:0\0", 19)));
}

TEST(Clock, FixedReadingIsNormalisedAndStandsUntilCleared) {
    std::tm fixed{};
    fixed.tm_year = 103;
    fixed.tm_mday = 32;  // 32 January at 24:01
    fixed.tm_hour = 24;
    fixed.tm_min = 1;
    SetFixedClock(fixed);
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S %a %j", ReadLocalClock()),
              "2003-02-02 00:01:00 Sun 033");
    EXPECT_EQ(FormatTime("%d %H", ReadLocalClock()), "02 00");

    SetFixedClock(std::nullopt);
    std::time_t before = std::time(nullptr);
    std::tm reading = ReadLocalClock();
    std::time_t read = std::mktime(&reading);
    EXPECT_GE(read, before);
    EXPECT_LE(read, std::time(nullptr));
}

TEST(FormatTime, AgreesWithTheCLibraryForEveryCodeButC) {
    ForEveryDay({1900, 2000, 2003, 2004}, [](const char* text, std::optional<std::tm>,
                                             std::optional<std::tm> time) {
        if (!time) return;
        for (const char* code : {"%a", "%A", "%b", "%B", "%d", "%H", "%I", "%j", "%m", "%M", "%p",
                                 "%S", "%U", "%w", "%y", "%Y", "%%"}) {
            char buffer[64];
            std::size_t length = std::strftime(buffer, sizeof buffer, code, &*time);
            ASSERT_EQ(FormatTime(code, *time), std::string(buffer, length)) << code << " " << text;
        }
    });
}

TEST(FormatTime, CTwelveHourEdgesAndUnknownCodes) {
    EXPECT_EQ(FormatTime("<!-- %c -->", Parsed("2026-07-04 09:08:07")),
              "<!-- 07/04/26 09:08:07 -->");
    EXPECT_EQ(FormatTime("%c", Parsed("2000-12-01 00:00:00")), "12/01/00 00:00:00");
    const std::pair<int, const char*> hours[] = {{0, "12 AM"},  {1, "01 AM"},  {11, "11 AM"},
                                                 {12, "12 PM"}, {13, "01 PM"}, {23, "11 PM"}};
    for (auto [hour, expected] : hours) {
        std::tm time = Parsed("2003-01-15 00:30:00");
        time.tm_hour = hour;
        EXPECT_EQ(FormatTime("%I %p", time), expected) << hour;
    }
    const std::tm time = Parsed("2003-02-05 09:04:07");
    EXPECT_EQ(FormatTime("%q %Z x%", time), "%q %Z x%");
    EXPECT_EQ(FormatTime("100%% %d", time) + FormatTime("", time), "100% 05");
}

TEST(CRandom, RepeatsTheOriginalLibrarysSequence) {
    CRandom one(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(one.Next(), expected);
    }
    EXPECT_EQ(CRandom(0).Next(), 38);
    CRandom wide(59);
    for (int i = 0; i < 1000; ++i) ASSERT_LE(static_cast<unsigned>(wide.Next()), 0x7FFFu);
}

}  // namespace
}  // namespace qm
