#include "engine/date_words.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "engine/messages.h"

namespace qm {
namespace {

// clang-format off
constexpr std::array<const char*, 100> kKanji = {
    "〇", "一", "二", "三", "四", "五", "六", "七", "八", "九",
    "十", "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九",
    "二十", "二十一", "二十二", "二十三", "二十四", "二十五", "二十六", "二十七", "二十八", "二十九",
    "三十", "三十一", "三十二", "三十三", "三十四", "三十五", "三十六", "三十七", "三十八", "三十九",
    "四十", "四十一", "四十二", "四十三", "四十四", "四十五", "四十六", "四十七", "四十八", "四十九",
    "五十", "五十一", "五十二", "五十三", "五十四", "五十五", "五十六", "五十七", "五十八", "五十九",
    "六十", "六十一", "六十二", "六十三", "六十四", "六十五", "六十六", "六十七", "六十八", "六十九",
    "七十", "七十一", "七十二", "七十三", "七十四", "七十五", "七十六", "七十七", "七十八", "七十九",
    "八十", "八十一", "八十二", "八十三", "八十四", "八十五", "八十六", "八十七", "八十八", "八十九",
    "九十", "九十一", "九十二", "九十三", "九十四", "九十五", "九十六", "九十七", "九十八", "九十九",
};

constexpr std::array<const char*, 100> kDaiji = {
    "零", "壱", "弐", "参", "四", "伍", "六", "七", "八", "九",
    "壱拾", "壱拾壱", "壱拾弐", "壱拾参", "壱拾四", "壱拾伍", "壱拾六", "壱拾七", "壱拾八", "壱拾九",
    "弐拾", "弐拾壱", "弐拾弐", "弐拾参", "弐拾四", "弐拾伍", "弐拾六", "弐拾七", "弐拾八", "弐拾九",
    "参拾", "参拾壱", "参拾弐", "参拾参", "参拾四", "参拾伍", "参拾六", "参拾七", "参拾八", "参拾九",
    "四拾", "四拾壱", "四拾弐", "四拾参", "四拾四", "四拾伍", "四拾六", "四拾七", "四拾八", "四拾九",
    "伍拾", "伍拾壱", "伍拾弐", "伍拾参", "伍拾四", "伍拾伍", "伍拾六", "伍拾七", "伍拾八", "伍拾九",
    "六拾", "六拾壱", "六拾弐", "六拾参", "六拾四", "六拾伍", "六拾六", "六拾七", "六拾八", "六拾九",
    "七拾", "七拾壱", "七拾弐", "七拾参", "七拾四", "七拾伍", "七拾六", "七拾七", "七拾八", "七拾九",
    "八拾", "八拾壱", "八拾弐", "八拾参", "八拾四", "八拾伍", "八拾六", "八拾七", "八拾八", "八拾九",
    "九拾", "九拾壱", "九拾弐", "九拾参", "九拾四", "九拾伍", "九拾六", "九拾七", "九拾八", "九拾九",
};
// clang-format on

constexpr std::array<const char*, 12> kMonths = {"睦月", "如月", "弥生", "卯月",   "皐月", "水無月",
                                                 "文月", "葉月", "長月", "神無月", "霜月", "師走"};

constexpr std::array<const char*, 7> kWeekdays = {"日", "月", "火", "水", "木", "金", "土"};

using Converter = int (*)(int, char*, int);

// Runs a converter with the capacity callers use and returns the words.
std::string Convert(Converter convert, int value, int* result = nullptr) {
    char buffer[10];
    std::memset(buffer, 'x', sizeof buffer);
    int returned = convert(value, buffer, sizeof buffer);
    if (result != nullptr) *result = returned;
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

TEST(DateWords, KanjiNumbersFromZeroToNinetyNine) {
    for (int value = 0; value < 100; ++value) {
        int result = 0;
        EXPECT_EQ(Convert(KanjiNumber, value, &result), Sjis(kKanji[value])) << value;
        EXPECT_EQ(result, value);
    }
}

TEST(DateWords, DaijiNumbersFromZeroToNinetyNine) {
    for (int value = 0; value < 100; ++value) {
        int result = 0;
        EXPECT_EQ(Convert(DaijiNumber, value, &result), Sjis(kDaiji[value])) << value;
        EXPECT_EQ(result, value);
    }
}

TEST(DateWords, MonthNamesAndWeekdays) {
    for (int month = 1; month <= 12; ++month) {
        int result = 0;
        EXPECT_EQ(Convert(MonthName, month, &result), Sjis(kMonths[month - 1])) << month;
        EXPECT_EQ(result, month);
    }
    for (int weekday = 0; weekday <= 6; ++weekday) {
        int result = -2;
        EXPECT_EQ(Convert(WeekdayKanji, weekday, &result), Sjis(kWeekdays[weekday])) << weekday;
        EXPECT_EQ(result, weekday);
    }
}

// A failed conversion returns -1 and leaves every byte of the buffer as it was.
void ExpectRejected(Converter convert, int value, int capacity) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(convert(value, buffer, capacity), -1)
        << "value " << value << " capacity " << capacity;
    for (char byte : buffer) ASSERT_EQ(byte, 'x') << "value " << value;
}

TEST(DateWords, ValuesOutOfRangeAreRejected) {
    for (Converter numbers : {KanjiNumber, DaijiNumber}) {
        ExpectRejected(numbers, -1, 10);
        ExpectRejected(numbers, 100, 10);
        ExpectRejected(numbers, -2147483647 - 1, 10);
    }
    ExpectRejected(MonthName, 0, 10);
    ExpectRejected(MonthName, 13, 10);
    ExpectRejected(WeekdayKanji, -1, 10);
    ExpectRejected(WeekdayKanji, 7, 10);
}

TEST(DateWords, SmallCapacitiesAreRejected) {
    ExpectRejected(KanjiNumber, 5, 7);
    ExpectRejected(DaijiNumber, 5, 7);
    ExpectRejected(MonthName, 6, 7);
    ExpectRejected(WeekdayKanji, 3, 3);
    ExpectRejected(KanjiNumber, 5, 0);
    ExpectRejected(WeekdayKanji, 3, -1);
}

TEST(DateWords, LongestWordsFitTheSmallestCapacity) {
    char buffer[8];
    ASSERT_EQ(MonthName(6, buffer, 8), 6);
    EXPECT_STREQ(buffer, Sjis("水無月").c_str());
    ASSERT_EQ(KanjiNumber(99, buffer, 8), 99);
    EXPECT_STREQ(buffer, Sjis("九十九").c_str());
    ASSERT_EQ(DaijiNumber(12, buffer, 8), 12);
    EXPECT_STREQ(buffer, Sjis("壱拾弐").c_str());
    char weekday[4];
    ASSERT_EQ(WeekdayKanji(6, weekday, 4), 6);
    EXPECT_STREQ(weekday, Sjis("土").c_str());
}

TEST(DateWords, SuccessClearsTheWholeCapacityAndNothingBeyond) {
    char buffer[24];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(KanjiNumber(1, buffer, 20), 1);
    std::string word = Sjis("一");
    EXPECT_EQ(std::string(buffer, word.size()), word);
    for (int i = static_cast<int>(word.size()); i < 20; ++i) EXPECT_EQ(buffer[i], '\0') << i;
    for (int i = 20; i < 24; ++i) EXPECT_EQ(buffer[i], 'x') << i;
}

TEST(DateWords, TextFormsParseWhatStrftimePrinted) {
    EXPECT_EQ(KanjiNumberText("01"), Sjis("一"));
    EXPECT_EQ(KanjiNumberText("12"), Sjis("十二"));
    EXPECT_EQ(DaijiNumberText("05"), Sjis("伍"));
    EXPECT_EQ(DaijiNumberText("31"), Sjis("参拾壱"));
    EXPECT_EQ(MonthNameText("01"), Sjis("睦月"));
    EXPECT_EQ(MonthNameText("12"), Sjis("師走"));
    EXPECT_EQ(WeekdayKanjiText("0"), Sjis("日"));
    EXPECT_EQ(WeekdayKanjiText("6"), Sjis("土"));
}

TEST(DateWords, TextFormsOfValuesOutOfRangeAreEmpty) {
    EXPECT_EQ(MonthNameText("13"), "");
    EXPECT_EQ(MonthNameText("00"), "");
    EXPECT_EQ(WeekdayKanjiText("7"), "");
    EXPECT_EQ(KanjiNumberText("100"), "");
    EXPECT_EQ(DaijiNumberText("-1"), "");
    EXPECT_EQ(KanjiNumberText("99999999999999999999"), "");
}

}  // namespace
}  // namespace qm
