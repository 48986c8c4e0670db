#include "engine/tokens.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/messages.h"
#include "platform/clock.h"

namespace qm {
namespace {

std::tm At(const char* text) {
    std::optional<std::tm> time = ParseLocalTime(text);
    EXPECT_TRUE(time.has_value()) << text;
    return time.value_or(std::tm{});
}

std::string Entry(std::string_view text, const std::tm& time, const EntryContent* content = nullptr,
                  CRandom* random = nullptr) {
    return ExpandTokens(text, TokenSet::EntryTemplate, time, content, random);
}

std::string Log(std::string_view text, const std::tm& time) {
    return ExpandTokens(text, TokenSet::LogTitle, time, nullptr, nullptr);
}

// Tokens that mean the same in both sets, with what they give on two days.
struct SharedCase {
    const char* token;
    const char* onFifthFebruary;  // 2003-02-05 09:04:07, a Wednesday
    const char* onNewYearsEve;    // 2003-12-31 23:59:59, a Wednesday
};

constexpr SharedCase kShared[] = {
    {"**", "*", "*"},       {"*Y", "2003", "2003"},
    {"*y", "03", "03"},     {"*B", "February", "December"},
    {"*b", "Feb", "Dec"},   {"*m", "02", "12"},
    {"*d", "05", "31"},     {"*k", "二", "十二"},
    {"*K", "弐", "壱拾弐"}, {"*g", "如月", "師走"},
    {"*n", "五", "三十一"}, {"*N", "伍", "参拾壱"},
};

TEST(ExpandTokens, SharedTokensInBothSets) {
    std::tm february = At("2003-02-05 09:04:07");
    std::tm december = At("2003-12-31 23:59:59");
    for (const SharedCase& c : kShared) {
        EXPECT_EQ(Entry(c.token, february), Sjis(c.onFifthFebruary)) << c.token;
        EXPECT_EQ(Log(c.token, february), Sjis(c.onFifthFebruary)) << c.token;
        EXPECT_EQ(Entry(c.token, december), Sjis(c.onNewYearsEve)) << c.token;
        EXPECT_EQ(Log(c.token, december), Sjis(c.onNewYearsEve)) << c.token;
    }
}

TEST(ExpandTokens, MonthWordsForEveryMonth) {
    const char* kanji[] = {"一", "二", "三", "四", "五",   "六",
                           "七", "八", "九", "十", "十一", "十二"};
    const char* daiji[] = {"壱", "弐", "参", "四",   "伍",     "六",
                           "七", "八", "九", "壱拾", "壱拾壱", "壱拾弐"};
    const char* names[] = {"睦月", "如月", "弥生", "卯月",   "皐月", "水無月",
                           "文月", "葉月", "長月", "神無月", "霜月", "師走"};
    for (int month = 1; month <= 12; ++month) {
        char text[32];
        std::snprintf(text, sizeof text, "2003-%02d-01 00:00:00", month);
        std::tm time = At(text);
        std::string expected =
            Sjis(kanji[month - 1]) + "|" + Sjis(daiji[month - 1]) + "|" + Sjis(names[month - 1]);
        EXPECT_EQ(Entry("*k|*K|*g", time), expected) << month;
        EXPECT_EQ(Log("*k|*K|*g", time), expected) << month;
    }
}

TEST(ExpandTokens, EntryTemplateTimeAndWeekdayTokens) {
    std::tm morning = At("2003-02-05 09:04:07");
    EXPECT_EQ(Entry("*S|*a|*A|*o|*p|*I|*H|*M|*j", morning),
              "07|Wed|Wednesday|" + Sjis("水") + "|AM|09|09|04|036");
    std::tm night = At("2004-12-31 23:59:59");
    EXPECT_EQ(Entry("*S|*a|*A|*o|*p|*I|*H|*M|*j", night),
              "59|Fri|Friday|" + Sjis("金") + "|PM|11|23|59|366");
    EXPECT_EQ(Entry("*p *I *H", At("2003-02-05 00:00:00")), "AM 12 00");
    EXPECT_EQ(Entry("*p *I *H", At("2003-02-05 12:00:00")), "PM 12 12");
}

TEST(ExpandTokens, WeekdayKanjiForEveryDay) {
    const char* expected[] = {"日", "月", "火", "水", "木", "金", "土"};
    // 2 February 2003 was a Sunday.
    for (int day = 2; day <= 8; ++day) {
        char text[32];
        std::snprintf(text, sizeof text, "2003-02-%02d 00:00:00", day);
        EXPECT_EQ(Entry("*o", At(text)), Sjis(expected[day - 2])) << day;
    }
}

TEST(ExpandTokens, LogTitleHalfOfTheMonth) {
    std::string first = Sjis("前半");
    std::string second = Sjis("後半");
    EXPECT_EQ(Log("*S", At("2003-03-01 00:00:00")), first);
    EXPECT_EQ(Log("*S", At("2003-03-14 23:59:59")), first);
    EXPECT_EQ(Log("*S", At("2003-03-15 00:00:00")), second);
    EXPECT_EQ(Log("*S", At("2003-03-30 00:00:00")), second);
    EXPECT_EQ(Log("*S", At("2003-03-31 00:00:00")), second);
    EXPECT_EQ(Entry("*S", At("2003-03-15 00:00:07")), "07");
}

TEST(ExpandTokens, LogTitleExamples) {
    EXPECT_EQ(Log(Sjis("*m月*d日以降の日記"), At("2003-01-05 10:00:00")),
              Sjis("01月05日以降の日記"));
    EXPECT_EQ(Log(Sjis("*Y年*k月*S"), At("2003-03-20 10:00:00")), Sjis("2003年三月後半"));
    EXPECT_EQ(Log("", At("2003-03-20 10:00:00")), "");
}

TEST(ExpandTokens, EntryOnlyTokensStayAsTypedInTheLogTitle) {
    std::tm time = At("2003-02-05 09:04:07");
    for (const char* token :
         {"*a", "*A", "*o", "*p", "*I", "*H", "*M", "*j", "*r", "*R", "*!", "*?", "*$"}) {
        EXPECT_EQ(Log(token, time), token);
    }
}

TEST(ExpandTokens, UnknownTokensStayAsTyped) {
    std::tm time = At("2003-02-05 09:04:07");
    for (const char* text : {"*x", "*Z", "*1", "* ", "*-", "*\t", "*\r\n", "a*c*e"}) {
        EXPECT_EQ(Entry(text, time), text);
        EXPECT_EQ(Log(text, time), text);
    }
    // The byte after a non-token asterisk is ordinary: it starts no token of its own.
    EXPECT_EQ(Entry("*x*d", time), "*x05");
}

// Log with the entry set's signature, so both sets can be run from one list.
std::string Log4(std::string_view text, const std::tm& time, const EntryContent*, CRandom*) {
    return Log(text, time);
}

TEST(ExpandTokens, AsterisksAtTheEndAndInRows) {
    std::tm time = At("2003-02-05 09:04:07");
    for (auto expand : {Entry, Log4}) {
        EXPECT_EQ(expand("*", time, nullptr, nullptr), "*");
        EXPECT_EQ(expand("end*", time, nullptr, nullptr), "end*");
        EXPECT_EQ(expand("**y", time, nullptr, nullptr), "*y");
        EXPECT_EQ(expand("***", time, nullptr, nullptr), "**");
        EXPECT_EQ(expand("****", time, nullptr, nullptr), "**");
        EXPECT_EQ(expand("***y", time, nullptr, nullptr), "*03");
        EXPECT_EQ(expand("*m*", time, nullptr, nullptr), "02*");
    }
}

TEST(ExpandTokens, DoubleByteCharactersAreNeverTokens) {
    std::tm time = At("2003-02-05 09:04:07");
    // Each of these ends in a byte that is also a token letter: ゴ S, 〆 Y, ノ m,
    // ト g, ッ b, バ o, パ p, ニ j, コ R, 【 y.
    std::string characters = Sjis("ゴ〆ノトッバパニコ【");
    ASSERT_EQ(characters.size(), 20u);
    std::string afterAsterisks;
    for (std::size_t i = 0; i < characters.size(); i += 2) {
        afterAsterisks += '*';
        afterAsterisks += characters.substr(i, 2);
    }
    EXPECT_EQ(Entry(afterAsterisks, time), afterAsterisks);
    EXPECT_EQ(Log(afterAsterisks, time), afterAsterisks);
    EXPECT_EQ(Entry(characters, time), characters);

    // Tokens right after and right before double-byte characters still expand.
    EXPECT_EQ(Entry(Sjis("ゴ*S〆*y*"), time), Sjis("ゴ07〆03*"));
    EXPECT_EQ(Log(Sjis("ッ*S**ノ"), time), Sjis("ッ前半*ノ"));
    // A text cut after a lead byte behind an asterisk keeps both bytes.
    EXPECT_EQ(Entry("*\x83", time), "*\x83");
}

TEST(ExpandTokens, ContentTokensAreCopiedWithoutRescanning) {
    std::tm time = At("2003-02-05 09:04:07");
    EntryContent content{"Title *d", "a<BR>\r\nb *?", "<img src=\"x.jpg\" alt=\"\" >"};
    EXPECT_EQ(Entry("<h2>*!</h2>*?|*?|*$", time, &content),
              "<h2>Title *d</h2>a<BR>\r\nb *?|a<BR>\r\nb *?|<img src=\"x.jpg\" alt=\"\" >");
    EntryContent empty;
    EXPECT_EQ(Entry("[*!][*?][*$]", time, &empty), "[][][]");
    EXPECT_EQ(Entry("[*!][*?][*$]", time, nullptr), "[][][]");
}

TEST(ExpandTokens, LongTextsAreNeverCut) {
    std::tm time = At("2003-02-05 09:04:07");
    std::string body(50000, 'b');
    EntryContent content{std::string(3000, 't'), body, ""};
    std::string expanded = Entry("*!*?*?*A", time, &content);
    EXPECT_EQ(expanded, std::string(3000, 't') + body + body + "Wednesday");

    std::string pattern;
    for (int i = 0; i < 255; ++i) pattern += "*B";
    std::string title = Log(pattern, time);
    EXPECT_EQ(title.size(), 255u * 8u);
}

TEST(ExpandTokens, RandomDigitsDrawInTemplateOrder) {
    std::tm time = At("2003-02-05 09:04:01");
    // With srand(1) the original library draws 41, 18467, 6334, 26500, 19169.
    CRandom random(1);
    EXPECT_EQ(Entry("*r*r*r*r*r", time, nullptr, &random), "17409");
    CRandom hex(1);
    EXPECT_EQ(Entry("*R*R*R*R*R", time, nullptr, &hex), "93e41");
    CRandom mixed(1);
    EXPECT_EQ(Entry("*r-*R-**r-*r", time, nullptr, &mixed), "1-3-*r-4");
}

TEST(ExpandTokens, RandomDigitsWithoutAGeneratorFollowTheSeconds) {
    // Seeded with the seconds, so the same second of any minute gives the same digits.
    EXPECT_EQ(Entry("*r*r*r*r*r", At("2003-02-05 09:04:01")), "17409");
    EXPECT_EQ(Entry("*r*R*r*R", At("2010-07-20 17:33:01")), "1344");
    EXPECT_EQ(Entry("*r*r*r", At("2003-02-05 09:04:00")), "898");
}

}  // namespace
}  // namespace qm
