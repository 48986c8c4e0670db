#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

#include "support/scoped_env.h"

namespace qm {
namespace {

TEST(Clock, ParsesEveryFieldFormatsAndRejectsMalformedOrOutOfRangeText) {
    std::tm time = ParseLocalTime("2004-03-01 21:05:09").value();
    EXPECT_EQ((std::vector{time.tm_year, time.tm_mon, time.tm_mday, time.tm_hour, time.tm_min,
                           time.tm_sec, time.tm_wday, time.tm_yday}),
              (std::vector{104, 2, 1, 21, 5, 9, 1, 60}));
    EXPECT_TRUE(ParseLocalTime("2000-02-29 00:00:00"));
    for (const char* text : {"1900-02-29 00:00:00", "2003-04-31 00:00:00", "2003-01-15 24:00:00",
                             "0000-01-01 00:00:00", "2003-01-15", "2003-01-15 21:05:09 ",
                             "2003-1-15 21:05:09", "2003-01-+5 21:05:09"}) {
        EXPECT_FALSE(ParseLocalTime(text)) << '"' << text << '"';
    }
    EXPECT_EQ(FormatTime("%c|%I %p|", ParseLocalTime("2026-07-04 00:08:07").value()) +
                  FormatTime("%I %p", ParseLocalTime("2003-01-15 12:30:00").value()),
              "07/04/26 00:08:07|12 AM|12 PM");
}

#ifndef _WIN32
// A feed's times carry the zone's offset on the reading's own date.
TEST(Clock, TheUtcOffsetIsTheZonesOnThatDate) {
    for (const auto& [zone, date, minutes] :
         {std::tuple{"EST5EDT,M3.2.0,M11.1.0", "2026-07-04 12:00:00", -240},
          {"EST5EDT,M3.2.0,M11.1.0", "2026-12-04 12:00:00", -300},
          {"IST-5:30", "2026-12-04 12:00:00", 330}}) {
        const test::ScopedEnv tz("TZ", zone);
        ::tzset();
        EXPECT_EQ(UtcOffsetMinutes(ParseLocalTime(date).value()), minutes) << zone << date;
    }
    ::tzset();
}
#endif

TEST(Clock, RepeatsTheCRandomSequence) {
    CRandom one(1);
    for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(one.Next(), expected);
}

}  // namespace
}  // namespace qm
