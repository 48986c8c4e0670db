// Dates written the Japanese way: kanji and formal numerals, traditional month
// names and weekday kanji, all as code page 932 text.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Each returns `value` on success, or -1 when the value is out of range
// (0–99; 1–12; 0–6) or the capacity is below 8 bytes (4 for WeekdayKanji), in
// which case the buffer is left untouched. On success the buffer is cleared
// over its whole capacity and receives the words with a terminating NUL.
int KanjiNumber(int value, char* buffer, int capacity);
int DaijiNumber(int value, char* buffer, int capacity);
int MonthName(int month, char* buffer, int capacity);
int WeekdayKanji(int weekday, char* buffer, int capacity);

// The text forms the token expansion uses: `digits` is what strftime printed
// ("01" for January); the result is empty when the converter fails.
std::string KanjiNumberText(std::string_view digits);
std::string DaijiNumberText(std::string_view digits);
std::string MonthNameText(std::string_view digits);
std::string WeekdayKanjiText(std::string_view digits);

}  // namespace qm
