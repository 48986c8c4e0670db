// The asterisk tokens and the composition of one entry, on arbitrary
// templates, typed text and clock readings. Text without an asterisk passes
// unchanged, expansion works token by token, the body's line breaks all
// become "<BR>" and nothing else does, and every entry starts with the marker.
#include <cstdio>

#include "engine/date_words.h"
#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/messages.h"
#include "engine/tokens.h"
#include "fuzz_support.h"
#include "platform/clock.h"

namespace qm::fuzz {

// A reading the clock can give: any date from 1900 to 9999.
std::tm Reading(FuzzedDataProvider& input) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d",
                  input.ConsumeIntegralInRange(1900, 9999), input.ConsumeIntegralInRange(1, 12),
                  input.ConsumeIntegralInRange(1, 31), input.ConsumeIntegralInRange(0, 23),
                  input.ConsumeIntegralInRange(0, 59), input.ConsumeIntegralInRange(0, 59));
    auto time = ParseLocalTime(text);
    return time ? *time : *ParseLocalTime("2003-01-31 21:05:09");
}

// Undoes ConvertBody: every CR LF of the result came in as "<BR>" CR LF.
std::string BodyBeforeConversion(std::string_view converted) {
    std::string out;
    for (std::size_t i = 0; i < converted.size(); ++i) {
        if (converted.compare(i, 2, "\r\n") == 0) {
            Require(out.size() >= 4 && out.compare(out.size() - 4, 4, "<BR>") == 0,
                    "every line break of the body is a <BR> line break");
            out.resize(out.size() - 4);
        }
        out += converted[i];
    }
    return out;
}

void CheckBody(const std::string& body) {
    const std::string converted = ConvertBody(body);
    Require(BodyBeforeConversion(converted) == body, "only CR LF pairs of the body change");
}

void CheckExpansion(std::string_view text, TokenSet set, const std::tm& time,
                    const EntryContent& content) {
    CRandom whole(static_cast<unsigned>(time.tm_sec));
    const std::string expanded = ExpandTokens(text, set, time, &content, &whole);
    if (text.find('*') == std::string_view::npos) {
        Require(expanded == text, "text without tokens passes unchanged");
    }
    // Cut anywhere but after an asterisk, the halves expand to the same text,
    // the random digits drawn in the same order.
    for (std::size_t cut = 0; cut <= text.size(); cut += 1 + text.size() / 7) {
        if (cut > 0 && text[cut - 1] == '*') continue;
        CRandom parts(static_cast<unsigned>(time.tm_sec));
        const std::string first = ExpandTokens(text.substr(0, cut), set, time, &content, &parts);
        const std::string second = ExpandTokens(text.substr(cut), set, time, &content, &parts);
        Require(first + second == expanded, "tokens expand one by one");
    }
    // The log title set needs neither entry content nor a generator.
    if (set == TokenSet::LogTitle) ExpandTokens(text, set, time, nullptr, nullptr);
}

void CheckDateWords(FuzzedDataProvider& input) {
    using Converter = int (*)(int, char*, int);
    constexpr Converter kConverters[] = {KanjiNumber, DaijiNumber, MonthName, WeekdayKanji};
    const int value = input.ConsumeIntegralInRange(-5, 105);
    const int capacity = input.ConsumeIntegralInRange(0, 16);
    std::string buffer(16, '#');
    const int result = input.PickValueInArray(kConverters)(value, buffer.data(), capacity);
    Require(result == value || result == -1, "a converter gives its value or -1");
    Require(result != -1 || buffer[0] == '#', "a failed converter leaves the buffer untouched");
    Require(result == -1 || buffer.find('\0') < std::size_t(capacity),
            "converted words end inside the buffer");
}

QM_FUZZ_TARGET(input) {
    const std::tm time = Reading(input);
    CheckDateWords(input);

    const EntryInput typed{.title = input.ConsumeRandomLengthString(64),
                           .body = input.ConsumeRandomLengthString(128),
                           .imageName = input.ConsumeRandomLengthString(16),
                           .altText = input.ConsumeRandomLengthString(16)};
    const bool imageChosen = input.ConsumeBool();
    const std::string diaryPage = input.ConsumeRandomLengthString(32);
    const std::string text = input.ConsumeRemainingBytesAsString();

    CheckBody(typed.body);
    const EntryContent content{typed.title, ConvertBody(typed.body), ImageTag(typed, imageChosen)};
    CheckExpansion(text, TokenSet::EntryTemplate, time, content);
    CheckExpansion(text, TokenSet::LogTitle, time, content);

    const std::string entry = ComposeEntryText(text, typed, imageChosen, time);
    Require(entry.rfind(Sjis(msg::kInsertMarker) + "\r\n<!-- ", 0) == 0,
            "an entry starts with the insert marker");
    Require(entry == ComposeEntryText(text, typed, imageChosen, time),
            "one clock reading gives one entry");

    const std::string link = LogLinkText(diaryPage, text, time);
    Require(link.rfind(Sjis(msg::kLogMarker) + "\r\n<a href =", 0) == 0,
            "a log link starts with the log marker");
}

}  // namespace qm::fuzz
