#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(Encoding, RoundTripsJapaneseAndTheCodePageSpecials) {
    // ～ (U+FF5E) and ① are code page 932 characters that plain Shift-JIS lacks.
    const std::string utf8 = "作りま～す♪ ①十ｶﾅ";
    auto cp932 = Utf8ToCp932(utf8);
    ASSERT_TRUE(cp932);
    EXPECT_EQ(cp932->substr(0, 2), "\x8d\xec");
    EXPECT_EQ(Cp932ToUtf8(*cp932).value(), utf8);
}

TEST(Encoding, UnrepresentableTextIsAnErrorNeverAQuestionMark) {
    EXPECT_FALSE(Utf8ToCp932("smile 😀"));
    EXPECT_FALSE(Utf8ToCp932("\xff"));
    EXPECT_FALSE(Cp932ToUtf8("\x82"));
    EXPECT_EQ(Utf8ToCp932WithReferences("a😀b").value(), "a&#x1F600;b");
    EXPECT_FALSE(Utf8ToCp932WithReferences("\xc3"));
}

TEST(Encoding, PrefixNeverEndsInsideACharacter) {
    const std::string text = "a\x93\xfa\x8bL";  // a日記
    EXPECT_EQ(Cp932PrefixLength(text, 0), 0u);
    EXPECT_EQ(Cp932PrefixLength(text, 1), 1u);
    EXPECT_EQ(Cp932PrefixLength(text, 2), 1u);
    EXPECT_EQ(Cp932PrefixLength(text, 3), 3u);
    EXPECT_EQ(Cp932PrefixLength(text, 4), 3u);
    EXPECT_EQ(Cp932PrefixLength(text, 99), 5u);
    EXPECT_EQ(Cp932PrefixLength("\xb6\xc5", 1), 1u);  // half-width kana are one byte
}

}  // namespace
}  // namespace qm
