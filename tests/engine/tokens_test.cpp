#include "engine/tokens.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/messages.h"
#include "fake_host.h"
#include "platform/clock.h"

namespace qm {
namespace {

using test::Tm;

std::string Entry(std::string_view text, const std::tm& time, const EntryContent* content = nullptr,
                  CRandom* random = nullptr) {
    return ExpandTokens(text, TokenSet::EntryTemplate, time, content, random);
}
std::string Log(std::string_view text, const std::tm& time) {
    return ExpandTokens(text, TokenSet::LogTitle, time, nullptr, nullptr);
}

const std::tm kFeb5 = Tm("2003-02-05 09:04:07");  // a Wednesday morning

TEST(ExpandTokens, SharedTokensMeanTheSameInBothSets) {
    const struct {
        const char* time;
        const char* text;
        const char* expected;
    } rows[] = {
        {"2003-02-05 09:04:07", "** *Y *y *B *b *m *d", "* 2003 03 February Feb 02 05"},
        {"2003-02-05 09:04:07", "*k *K *g *n *N", "二 弐 如月 五 伍"},
        {"2003-12-31 23:59:59", "*B *b *m *d *k *K *g *n *N",
         "December Dec 12 31 十二 壱拾弐 師走 三十一 参拾壱"},
        {"2003-11-01 00:00:00", "*k *K *g", "十一 壱拾壱 霜月"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Entry(Sjis(r.text), Tm(r.time)), Sjis(r.expected)) << r.text;
        EXPECT_EQ(Log(Sjis(r.text), Tm(r.time)), Sjis(r.expected)) << r.text;
    }
}

TEST(ExpandTokens, EntryTimeWeekdayAndTwelveHourTokens) {
    EXPECT_EQ(Entry("*S|*a|*A|*o|*p|*I|*H|*M|*j", kFeb5),
              "07|Wed|Wednesday|" + Sjis("水") + "|AM|09|09|04|036");
    EXPECT_EQ(Entry("*S|*a|*A|*o|*p|*I|*H|*M|*j", Tm("2004-12-31 23:59:59")),
              "59|Fri|Friday|" + Sjis("金") + "|PM|11|23|59|366");
    EXPECT_EQ(Entry("*p *I", Tm("2003-02-05 00:00:00")), "AM 12");
    EXPECT_EQ(Entry("*p *I", Tm("2003-02-05 12:00:00")), "PM 12");
    std::string week;  // 2 February 2003 was a Sunday
    for (int day = 2; day <= 8; ++day)
        week += Entry("*o", Tm("2003-02-0" + std::to_string(day) + " 00:00:00"));
    EXPECT_EQ(week, Sjis("日月火水木金土"));
}

TEST(ExpandTokens, LogTitleHalfOfTheMonthAndEntryOnlyTokensStayAsTyped) {
    EXPECT_EQ(Log("*S", Tm("2003-03-01 00:00:00")), Sjis("前半"));
    EXPECT_EQ(Log("*S", Tm("2003-03-14 23:59:59")), Sjis("前半"));
    EXPECT_EQ(Log("*S", Tm("2003-03-15 00:00:00")), Sjis("後半"));
    EXPECT_EQ(Log("*S", Tm("2003-03-31 00:00:00")), Sjis("後半"));
    EXPECT_EQ(Log(Sjis("*m月*d日以降の日記"), kFeb5), Sjis("02月05日以降の日記"));
    const std::string entryOnly = "*a*A*o*p*I*H*M*j*r*R*!*?*$";
    EXPECT_EQ(Log(entryOnly, kFeb5), entryOnly);
}

TEST(ExpandTokens, UnknownTokensAndAsterisksAtTheEndStayAsTyped) {
    // The byte after a stray asterisk starts no token of its own: "*x*d".
    // clang-format off
    const char* const rows[][2] = {
        {"*x", "*x"}, {"*Z*1* *-", "*Z*1* *-"}, {"*\t*\r\n", "*\t*\r\n"}, {"a*c*e", "a*c*e"},
        {"*x*d", "*x05"}, {"*", "*"}, {"end*", "end*"}, {"**y", "*y"}, {"***", "**"},
        {"****", "**"}, {"***y", "*03"}, {"*m*", "02*"}, {"*\x83", "*\x83"}};
    // clang-format on
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(Entry(text, kFeb5), expected) << text;
        EXPECT_EQ(Log(text, kFeb5), expected) << text;
    }
}

TEST(ExpandTokens, DoubleByteCharactersAreNeverTokens) {
    // Each second byte is also a token letter: ゴ S, 〆 Y, ノ m, ト g, ッ b,
    // バ o, パ p, ニ j, コ R, 【 y.
    const std::string characters = Sjis("ゴ〆ノトッバパニコ【");
    std::string afterAsterisks;
    for (std::size_t i = 0; i < characters.size(); i += 2)
        afterAsterisks += "*" + characters.substr(i, 2);
    EXPECT_EQ(Entry(afterAsterisks, kFeb5), afterAsterisks);
    EXPECT_EQ(Log(afterAsterisks, kFeb5), afterAsterisks);
    EXPECT_EQ(Entry(characters, kFeb5), characters);
    EXPECT_EQ(Entry(Sjis("ゴ*S〆*y*"), kFeb5), Sjis("ゴ07〆03*"));
    EXPECT_EQ(Log(Sjis("ッ*S**ノ"), kFeb5), Sjis("ッ前半*ノ"));
}

TEST(ExpandTokens, ContentIsCopiedWholeWithoutRescanning) {
    EntryContent content{"Title *d", "a<BR>\r\nb *?", "<img src=\"x.jpg\" alt=\"\" >"};
    EXPECT_EQ(Entry("<h2>*!</h2>*?|*?|*$", kFeb5, &content),
              "<h2>Title *d</h2>a<BR>\r\nb *?|a<BR>\r\nb *?|<img src=\"x.jpg\" alt=\"\" >");
    EXPECT_EQ(Entry("[*!][*?][*$]", kFeb5, nullptr), "[][][]");
    const std::string body(50000, 'b');
    EntryContent large{std::string(3000, 't'), body, ""};
    EXPECT_EQ(Entry("*!*?*?*A", kFeb5, &large), std::string(3000, 't') + body + body + "Wednesday");
    std::string months;
    for (int i = 0; i < 255; ++i) months += "*B";
    EXPECT_EQ(Log(months, kFeb5).size(), 255u * 8u);
}

TEST(ExpandTokens, RandomDigitsDrawInTemplateOrderOrFollowTheSeconds) {
    // Seeded with 1 the generator draws 41, 18467, 6334, 26500, 19169.
    const std::tm oneSecond = Tm("2003-02-05 09:04:01");
    CRandom decimal(1), hex(1), mixed(1);
    EXPECT_EQ(Entry("*r*r*r*r*r", oneSecond, nullptr, &decimal), "17409");
    EXPECT_EQ(Entry("*R*R*R*R*R", oneSecond, nullptr, &hex), "93e41");
    EXPECT_EQ(Entry("*r-*R-**r-*r", oneSecond, nullptr, &mixed), "1-3-*r-4");
    EXPECT_EQ(Entry("*r*r*r*r*r", oneSecond), "17409");
    EXPECT_EQ(Entry("*r*R*r*R", Tm("2010-07-20 17:33:01")), "1344");
    EXPECT_EQ(Entry("*r*r*r", Tm("2003-02-05 09:04:00")), "898");
}

}  // namespace
}  // namespace qm
