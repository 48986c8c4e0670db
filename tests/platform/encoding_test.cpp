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
