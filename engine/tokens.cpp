#include "engine/tokens.h"

#include <optional>

#include "engine/date_words.h"
#include "engine/messages.h"
#include "engine/split_mode.h"
#include "platform/clock.h"

namespace qm {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Tokens both sets share: the literal asterisk, the date in figures and in
// month and day words. std::nullopt for a letter that is none of them.
std::optional<std::string> CommonToken(char letter, const std::tm& time) {
    switch (letter) {
        case '*':
            return std::string("*");
        case 'Y':
            return FormatTime("%Y", time);
        case 'y':
            return FormatTime("%y", time);
        case 'B':
            return FormatTime("%B", time);
        case 'b':
            return FormatTime("%b", time);
        case 'm':
            return FormatTime("%m", time);
        case 'd':
            return FormatTime("%d", time);
        case 'k':
            return KanjiNumberText(FormatTime("%m", time));
        case 'K':
            return DaijiNumberText(FormatTime("%m", time));
        case 'g':
            return MonthNameText(FormatTime("%m", time));
        case 'n':
            return KanjiNumberText(FormatTime("%d", time));
        case 'N':
            return DaijiNumberText(FormatTime("%d", time));
        default:
            return std::nullopt;
    }
}

std::optional<std::string> LogTitleToken(char letter, const std::tm& time) {
    if (letter == 'S') {
        static const std::string firstHalf = Sjis("前半");
        static const std::string secondHalf = Sjis("後半");
        return IsSecondHalfOfMonth(time) ? secondHalf : firstHalf;
    }
    return CommonToken(letter, time);
}

std::optional<std::string> EntryToken(char letter, const std::tm& time, const EntryContent* content,
                                      CRandom& random) {
    switch (letter) {
        case 'S':
            return FormatTime("%S", time);
        case 'a':
            return FormatTime("%a", time);
        case 'A':
            return FormatTime("%A", time);
        case 'o':
            return WeekdayKanjiText(FormatTime("%w", time));
        case 'p':
            return FormatTime("%p", time);
        case 'I':
            return FormatTime("%I", time);
        case 'H':
            return FormatTime("%H", time);
        case 'M':
            return FormatTime("%M", time);
        case 'j':
            return FormatTime("%j", time);
        case 'r':
            return std::string(1, kHexDigits[random.Next() % 10]);
        case 'R':
            return std::string(1, kHexDigits[random.Next() % 16]);
        case '!':
            return content != nullptr ? content->title : std::string();
        case '?':
            return content != nullptr ? content->body : std::string();
        case '$':
            return content != nullptr ? content->imageTag : std::string();
        default:
            return CommonToken(letter, time);
    }
}

}  // namespace

std::string ExpandTokens(std::string_view text, TokenSet set, const std::tm& time,
                         const EntryContent* content, CRandom* random) {
    // Without a generator of the caller's, draw from one seeded the way the
    // caller would seed it: with the seconds of the reading.
    CRandom ownRandom(static_cast<unsigned>(time.tm_sec));
    CRandom& generator = random != nullptr ? *random : ownRandom;

    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char byte = text[i];
        if (byte != '*' || i + 1 == text.size()) {
            out += byte;
            ++i;
            continue;
        }
        // "*" never appears as the second byte of a double-byte character, and
        // a lead byte after "*" is no token, so looking at byte pairs is exact.
        char letter = text[i + 1];
        std::optional<std::string> expansion = set == TokenSet::EntryTemplate
                                                   ? EntryToken(letter, time, content, generator)
                                                   : LogTitleToken(letter, time);
        if (expansion) {
            out += *expansion;
            i += 2;
        } else {
            out += '*';
            ++i;
        }
    }
    return out;
}

}  // namespace qm
