#include "engine/date_words.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "engine/messages.h"

namespace qm {
namespace {

using Converter = int (*)(int, char*, int);

// clang-format off
const char* const kKanji[100] = {
    "〇", "一", "二", "三", "四", "五", "六", "七", "八", "九",
    "十", "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九",
    "二十", "二十一", "二十二", "二十三", "二十四", "二十五", "二十六", "二十七", "二十八", "二十九",
    "三十", "三十一", "三十二", "三十三", "三十四", "三十五", "三十六", "三十七", "三十八", "三十九",
    "四十", "四十一", "四十二", "四十三", "四十四", "四十五", "四十六", "四十七", "四十八", "四十九",
    "五十", "五十一", "五十二", "五十三", "五十四", "五十五", "五十六", "五十七", "五十八", "五十九",
    "六十", "六十一", "六十二", "六十三", "六十四", "六十五", "六十六", "六十七", "六十八", "六十九",
    "七十", "七十一", "七十二", "七十三", "七十四", "七十五", "七十六", "七十七", "七十八", "七十九",
    "八十", "八十一", "八十二", "八十三", "八十四", "八十五", "八十六", "八十七", "八十八", "八十九",
    "九十", "九十一", "九十二", "九十三", "九十四", "九十五", "九十六", "九十七", "九十八", "九十九"};
const char* const kDaiji[100] = {
    "零", "壱", "弐", "参", "四", "伍", "六", "七", "八", "九",
    "壱拾", "壱拾壱", "壱拾弐", "壱拾参", "壱拾四", "壱拾伍", "壱拾六", "壱拾七", "壱拾八", "壱拾九",
    "弐拾", "弐拾壱", "弐拾弐", "弐拾参", "弐拾四", "弐拾伍", "弐拾六", "弐拾七", "弐拾八", "弐拾九",
    "参拾", "参拾壱", "参拾弐", "参拾参", "参拾四", "参拾伍", "参拾六", "参拾七", "参拾八", "参拾九",
    "四拾", "四拾壱", "四拾弐", "四拾参", "四拾四", "四拾伍", "四拾六", "四拾七", "四拾八", "四拾九",
    "伍拾", "伍拾壱", "伍拾弐", "伍拾参", "伍拾四", "伍拾伍", "伍拾六", "伍拾七", "伍拾八", "伍拾九",
    "六拾", "六拾壱", "六拾弐", "六拾参", "六拾四", "六拾伍", "六拾六", "六拾七", "六拾八", "六拾九",
    "七拾", "七拾壱", "七拾弐", "七拾参", "七拾四", "七拾伍", "七拾六", "七拾七", "七拾八", "七拾九",
    "八拾", "八拾壱", "八拾弐", "八拾参", "八拾四", "八拾伍", "八拾六", "八拾七", "八拾八", "八拾九",
    "九拾", "九拾壱", "九拾弐", "九拾参", "九拾四", "九拾伍", "九拾六", "九拾七", "九拾八", "九拾九"};
const char* const kMonths[12] = {"睦月", "如月", "弥生", "卯月", "皐月", "水無月",
                                 "文月", "葉月", "長月", "神無月", "霜月", "師走"};
const char* const kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};
// clang-format on

// The words and the returned value, or "rejected" when the call returned -1
// and left every byte of the buffer alone. Success clears the whole capacity.
std::string Convert(Converter convert, int value, int capacity = 8) {
    char buffer[24];
    std::memset(buffer, 'x', sizeof buffer);
    int result = convert(value, buffer, capacity);
    if (result == -1) {
        for (char byte : buffer) {
            if (byte != 'x') return "buffer touched";
        }
        return "rejected";
    }
    for (int i = static_cast<int>(std::strlen(buffer)); i < 24; ++i) {
        if (buffer[i] != (i < capacity ? '\0' : 'x')) return "byte " + std::to_string(i);
    }
    return std::string(buffer) + "=" + std::to_string(result);
}

std::string Words(const char* utf8, int value) { return Sjis(utf8) + "=" + std::to_string(value); }

TEST(DateWords, EveryValueOfEveryConverterInTheSmallestCapacity) {
    for (int v = 0; v < 100; ++v) {
        EXPECT_EQ(Convert(KanjiNumber, v), Words(kKanji[v], v));
        EXPECT_EQ(Convert(DaijiNumber, v, 20), Words(kDaiji[v], v));
    }
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(Convert(MonthName, m), Words(kMonths[m - 1], m));
    for (int d = 0; d <= 6; ++d) EXPECT_EQ(Convert(WeekdayKanji, d, 4), Words(kWeekdays[d], d));
    EXPECT_EQ(Convert(DaijiNumber, 12), Words("壱拾弐", 12));
}

TEST(DateWords, OutOfRangeValuesAndSmallCapacitiesAreRejected) {
    const struct {
        Converter convert;
        int value, capacity;
    } rows[] = {{KanjiNumber, -1, 10},  {KanjiNumber, 100, 10},     {DaijiNumber, -1, 10},
                {DaijiNumber, 100, 10}, {DaijiNumber, INT_MIN, 10}, {MonthName, 0, 10},
                {MonthName, 13, 10},    {WeekdayKanji, -1, 10},     {WeekdayKanji, 7, 10},
                {KanjiNumber, 5, 7},    {DaijiNumber, 5, 7},        {MonthName, 6, 7},
                {WeekdayKanji, 3, 3},   {KanjiNumber, 5, 0},        {WeekdayKanji, 3, -1}};
    for (const auto& r : rows) {
        EXPECT_EQ(Convert(r.convert, r.value, r.capacity), "rejected")
            << r.value << "/" << r.capacity;
    }
}

TEST(DateWords, TextFormsParseWhatStrftimePrinted) {
    EXPECT_EQ(KanjiNumberText("12"), Sjis("十二"));
    EXPECT_EQ(DaijiNumberText("31"), Sjis("参拾壱"));
    EXPECT_EQ(MonthNameText("01"), Sjis("睦月"));
    EXPECT_EQ(WeekdayKanjiText("6"), Sjis("土"));
    for (auto empty :
         {MonthNameText("13"), MonthNameText("00"), WeekdayKanjiText("7"), KanjiNumberText("100"),
          DaijiNumberText("-1"), KanjiNumberText("99999999999999999999")}) {
        EXPECT_EQ(empty, "");
    }
}

}  // namespace
}  // namespace qm
