#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(Encoding, RoundTripsJapaneseAndTheCodePageSpecials) {
    const std::string utf8 = "作りま～す①十ｶﾅ";  // ～ and ① are in code page 932 only
    auto cp932 = Utf8ToCp932(utf8);
    ASSERT_TRUE(cp932);
    EXPECT_EQ(cp932->substr(0, 2), "\x8d\xec");
    EXPECT_EQ(Cp932ToUtf8(*cp932).value(), utf8);
}

TEST(Encoding, UnrepresentableTextIsAnErrorOrAReference) {
    EXPECT_FALSE(Utf8ToCp932("smile 😀"));
    EXPECT_FALSE(Cp932ToUtf8("\x82"));
    EXPECT_EQ(Utf8ToCp932WithReferences("a😀b").value(), "a&#x1F600;b");
}

// A path or name is taken only when it comes back exactly: glibc's converter
// would give ¥ the code of a folder separator and 〜 the code of ～.
TEST(Encoding, PathsAndNamesRefuseEveryCharacterThatWouldComeBackAsAnother) {
    for (const char* bad : {"a\u00A5b.txt", "\u203E", "\u301C", "\u2016", "\u2212", "\u00A2",
                            "\u00A3", "\u00AC", "\u2014", "x\U000E0041y"}) {
        EXPECT_FALSE(Utf8ToCp932(bad)) << bad;
    }
    EXPECT_EQ(Utf8ToCp932("a\\b/c～").value(), "a\\b/c\x81\x60");
}

// Windows decodes these single bytes although the code page's table lacks
// them; they must survive a trip through a window unchanged.
TEST(Encoding, TheSingleBytesWindowsDecodesComeBackAsThemselves) {
    const std::string bytes =
        "a\x80"
        "b\xA0\xFD\xFE\xFF\x81\x80\x93\xfa";  // ... ÷ 日
    const auto utf8 = Cp932ToUtf8(bytes);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, "a\u0080b\uF8F0\uF8F1\uF8F2\uF8F3÷日");
    EXPECT_EQ(Utf8ToCp932(*utf8).value(), bytes);
    EXPECT_EQ(Utf8ToCp932WithReferences(*utf8).value(), bytes);
    const auto wide = Cp932ToUtf16Le(bytes);  // and through a UTF-16 settings file
    ASSERT_TRUE(wide);
    EXPECT_EQ(Utf16LeToCp932(*wide), bytes);
    EXPECT_FALSE(Cp932ToUtf8("\x81\xAD"));  // a hole in the table stays an error
    EXPECT_FALSE(Cp932ToUtf8("ok\x93"));    // and so does a lead byte without its pair
}

TEST(Encoding, TypedTextKeepsWhatBrowsersWouldShowWronglyAsReferences) {
    EXPECT_EQ(Utf8ToCp932WithReferences("\u00A5100 \u203E").value(), "&#xA5;100 &#x203E;");
    EXPECT_EQ(Utf8ToCp932WithReferences("flag\U000E0067\U000E007F").value(),
              "flag&#xE0067;&#xE007F;");
    // A look-alike keeps the code browsers show it by.
    EXPECT_EQ(Utf8ToCp932WithReferences("\u301C").value(), "\x81\x60");
    // Not UTF-8: overlong forms, surrogates and cut sequences are refused.
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE3\x81", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(Utf8ToCp932WithReferences(bad)) << bad;
        EXPECT_FALSE(Utf8ToCp932(bad)) << bad;
    }
}

TEST(Encoding, OnlyWellFormedUtf8Passes) {
    for (const char* good :
         {"", "abc", "日記", "\xF0\x9F\x98\x80", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(IsWellFormedUtf8(good)) << good;
    }
    const char* bad[] = {
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong '/' in three bytes
        "\xF0\x80\x80\xAF",  // and in four
        "\xED\xA0\x80",      // a high surrogate
        "\xED\xBF\xBF",      // a low surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xE6\x97",          // cut short
        "\x80",              // a lone continuation byte
        "\xFF",
    };
    for (const char* text : bad) EXPECT_FALSE(IsWellFormedUtf8(text)) << text;
}

TEST(Encoding, PrefixNeverEndsInsideACharacter) {
    const std::string text = "a\x93\xfa\xb6";  // a日ｶ
    EXPECT_EQ(Cp932PrefixLength(text, 2), 1u);
    EXPECT_EQ(Cp932PrefixLength(text, 3), 3u);
    EXPECT_EQ(Cp932PrefixLength(text, 4), 4u);
}

}  // namespace
}  // namespace qm
