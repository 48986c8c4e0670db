#include "engine/date_words.h"

#include <array>
#include <climits>
#include <cstring>

#include "engine/messages.h"

namespace qm {

namespace {

// The words of each table, converted to code page 932 once.
template <std::size_t N>
std::array<std::string, N> ToSjis(const std::array<std::string_view, N>& words) {
    std::array<std::string, N> converted;
    for (std::size_t i = 0; i < N; ++i) converted[i] = Sjis(words[i]);
    return converted;
}

const std::array<std::string, 10>& KanjiDigits() {
    static const auto digits =
        ToSjis<10>({"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"});
    return digits;
}

const std::array<std::string, 10>& DaijiDigits() {
    static const auto digits =
        ToSjis<10>({"零", "壱", "弐", "参", "四", "伍", "六", "七", "八", "九"});
    return digits;
}

const std::string& KanjiTen() {
    static const std::string ten = Sjis("十");
    return ten;
}

const std::string& DaijiTen() {
    static const std::string ten = Sjis("拾");
    return ten;
}

const std::array<std::string, 12>& MonthNames() {
    static const auto names = ToSjis<12>({"睦月", "如月", "弥生", "卯月", "皐月", "水無月", "文月",
                                          "葉月", "長月", "神無月", "霜月", "師走"});
    return names;
}

const std::array<std::string, 7>& WeekdayNames() {
    static const auto names = ToSjis<7>({"日", "月", "火", "水", "木", "金", "土"});
    return names;
}

// Every word fits in this many bytes, terminating NUL included.
constexpr int kWordCapacity = 8;
constexpr int kWeekdayCapacity = 4;

// Clears the whole buffer, then writes `words` and a NUL.
int Deliver(int value, const std::string& words, char* buffer, int capacity) {
    std::memset(buffer, 0, static_cast<std::size_t>(capacity));
    std::memcpy(buffer, words.data(), words.size());
    return value;
}

// Decimal parsing as atoi does it: leading blanks, an optional sign, then digits
// up to the first non-digit; no digits gives 0. Values beyond int saturate.
int ParseDecimal(std::string_view digits) {
    std::size_t i = 0;
    while (i < digits.size() && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
        negative = digits[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
        value = value * 10 + (digits[i] - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

using Converter = int (*)(int, char*, int);

std::string ConvertText(Converter convert, std::string_view digits) {
    char buffer[10];
    if (convert(ParseDecimal(digits), buffer, sizeof buffer) < 0) return {};
    return buffer;
}

}  // namespace

int KanjiNumber(int value, char* buffer, int capacity) {
    if (buffer == nullptr || value < 0 || value > 99 || capacity < kWordCapacity) return -1;
    int tens = value / 10;
    int units = value % 10;
    std::string words;
    if (tens >= 2) words += KanjiDigits()[static_cast<std::size_t>(tens)];
    if (tens >= 1) words += KanjiTen();
    if (units != 0 || tens == 0) words += KanjiDigits()[static_cast<std::size_t>(units)];
    return Deliver(value, words, buffer, capacity);
}

int DaijiNumber(int value, char* buffer, int capacity) {
    if (buffer == nullptr || value < 0 || value > 99 || capacity < kWordCapacity) return -1;
    int tens = value / 10;
    int units = value % 10;
    std::string words;
    if (tens >= 1) {
        words += DaijiDigits()[static_cast<std::size_t>(tens)];
        words += DaijiTen();
    }
    if (units != 0 || tens == 0) words += DaijiDigits()[static_cast<std::size_t>(units)];
    return Deliver(value, words, buffer, capacity);
}

int MonthName(int month, char* buffer, int capacity) {
    if (buffer == nullptr || month < 1 || month > 12 || capacity < kWordCapacity) return -1;
    return Deliver(month, MonthNames()[static_cast<std::size_t>(month - 1)], buffer, capacity);
}

int WeekdayKanji(int weekday, char* buffer, int capacity) {
    if (buffer == nullptr || weekday < 0 || weekday > 6 || capacity < kWeekdayCapacity) return -1;
    return Deliver(weekday, WeekdayNames()[static_cast<std::size_t>(weekday)], buffer, capacity);
}

std::string KanjiNumberText(std::string_view digits) { return ConvertText(KanjiNumber, digits); }

std::string DaijiNumberText(std::string_view digits) { return ConvertText(DaijiNumber, digits); }

std::string MonthNameText(std::string_view digits) { return ConvertText(MonthName, digits); }

std::string WeekdayKanjiText(std::string_view digits) { return ConvertText(WeekdayKanji, digits); }

}  // namespace qm
