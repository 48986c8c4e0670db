// The pieces an entry is made of: date words, tokens, the insertion below the marker.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "diary_folder.h"
#include "engine/date_words.h"
#include "engine/entry.h"
#include "engine/tokens.h"
#include "platform/files.h"

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

const std::string kNul(1, '\0');

TEST(InsertEntry, BelowTheFirstMarkerOfThePageReadToItsNul) {
    TempDir dir;
    FakeHost host;
    ActiveConfig config;
    config.programDir = dir.dir();
    const std::string page = dir / "page.html";
    WriteBytes(dir / "temp.tmp", kMarker + "\r\nE" + kNul);
    WriteBytes(page, kMarker + "</body>" + kMarker + kNul + "junk" + kNul);
    std::filesystem::permissions(page, std::filesystem::perms::owner_read);
    ASSERT_TRUE(InsertEntry(config, page, host));
    EXPECT_NE(std::filesystem::status(page).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
    EXPECT_EQ(ReadBytes(page), kMarker + "\r\nE</body>" + kMarker + kNul);

    const std::string voidMarker = "head" + kNul + kMarker;  // after the NUL: not there
    WriteBytes(page, voidMarker);
    EXPECT_FALSE(InsertEntry(config, page, host));
    EXPECT_EQ(host.messages,
              std::vector<std::string>{Said(msg::kNoMarkerText, msg::kNoMarkerCaption)});
    EXPECT_EQ(ReadBytes(page), voidMarker);
}

}  // namespace
}  // namespace qm::test
