// The pieces an entry is made of: date words, tokens, the insertion below the marker.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/date_words.h"
#include "engine/entry.h"
#include "engine/tokens.h"
#include "engine_fixture.h"

namespace qm::test {
namespace {

TEST(DateWords, NumbersMonthsAndWeekdaysAndOutOfRangeLeavesTheBuffer) {
    const std::tuple<int (*)(int, char*, int), int, const char*> rows[] = {
        {KanjiNumber, 0, "〇"},   {KanjiNumber, 99, "九十九"}, {DaijiNumber, 20, "弐拾"},
        {MonthName, 12, "師走"},  {WeekdayKanji, 6, "土"},     {KanjiNumber, -1, nullptr},
        {MonthName, 13, nullptr}, {WeekdayKanji, 7, nullptr},
    };
    for (const auto& [convert, value, words] : rows) {
        char buffer[20] = "untouched";
        EXPECT_EQ(convert(value, buffer, sizeof buffer), words ? value : -1) << value;
        EXPECT_EQ(Cp932ToUtf8(buffer).value_or("?"), words ? words : "untouched") << value;
    }
}

const std::tm kFeb5 = Tm("2003-02-05 09:04:07");

std::string Expand(std::string_view text, TokenSet set = TokenSet::EntryTemplate) {
    return ExpandTokens(text, set, kFeb5, nullptr, nullptr);
}

TEST(ExpandTokens, EdgesOfTheTokenLanguage) {
    EXPECT_EQ(Expand("*m*"), "02*");
    EXPECT_EQ(Expand("*x*d"), "*x05");
    // The second bytes of ゴ and 〆 are the letters S and Y.
    EXPECT_EQ(Expand(Sjis("*ゴ*〆*S")), Sjis("*ゴ*〆07"));
    const std::string entryOnly = "*a*o*H*M*!*?*$*r";
    EXPECT_EQ(Expand(entryOnly + "*k", TokenSet::LogTitle), entryOnly + Sjis("二"));
}

// The marker rule itself is checked by the insert fuzz target; a read-only
// page is the desktop's own case.
TEST(InsertEntryText, AReadOnlyPageTakesTheEntryAndStaysWritable) {
    TempDir dir;
    FakeHost host;
    const std::string page = dir / "page.html";
    WriteBytes(page, kMarker + "</body>");
    fs::permissions(page, fs::perms::owner_read);
    ASSERT_TRUE(InsertEntryText(page, N(page), kMarker + "\r\nE", host));
    EXPECT_NE(fs::status(page).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadBytes(page), kMarker + "\r\nE</body>");
}

}  // namespace
}  // namespace qm::test
