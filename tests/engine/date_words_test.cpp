#include "engine/date_words.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_host.h"

namespace qm::test {
namespace {

// The words in UTF-8, or "rejected" when the call failed and left the buffer alone.
std::string Convert(int (*convert)(int, char*, int), int value) {
    char buffer[20];
    std::memset(buffer, 'x', sizeof buffer);
    const int result = convert(value, buffer, sizeof buffer);
    if (result == -1)
        return std::string(buffer, sizeof buffer) == std::string(20, 'x') ? "rejected" : "touched";
    return Cp932ToUtf8(buffer).value_or("?") + (result == value ? "" : " returned wrong");
}

TEST(DateWords, NumbersMonthsAndWeekdays) {
    std::string numbers;
    for (int value : {0, 10, 11, 20, 99, -1, 100})
        numbers += Convert(KanjiNumber, value) + "/" + Convert(DaijiNumber, value) + " ";
    EXPECT_EQ(
        numbers,
        "〇/零 十/壱拾 十一/壱拾壱 二十/弐拾 九十九/九拾九 rejected/rejected rejected/rejected ");
    EXPECT_EQ(Convert(MonthName, 6) + Convert(MonthName, 12), "水無月師走");
    EXPECT_EQ(Convert(WeekdayKanji, 0) + Convert(WeekdayKanji, 6), "日土");
    EXPECT_EQ(Convert(MonthName, 13) + Convert(WeekdayKanji, 7), "rejectedrejected");
}

}  // namespace
}  // namespace qm::test
