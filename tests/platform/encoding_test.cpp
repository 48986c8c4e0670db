#include "platform/encoding.h"

#include <gtest/gtest.h>

#include "platform/path_text.h"

namespace qm {
namespace {

TEST(Encoding, RoundTripsJapaneseAndTheSingleBytesWindowsDecodes) {
    const std::string utf8 = "作りま～す①十ｶﾅ";  // ～ and ① are in code page 932 only
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(utf8).value()).value(), utf8);
    const std::string bytes =
        "a\x80"
        "b\xA0\xFD\xFE\xFF\x81\x80\x93\xfa";  // ... ÷ 日
    const auto back = Cp932ToUtf8(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, "a\u0080b\uF8F0\uF8F1\uF8F2\uF8F3÷日");
    EXPECT_EQ(Utf8ToCp932WithReferences(*back).value(), bytes);
    EXPECT_EQ(Utf16LeToCp932(Cp932ToUtf16Le(bytes).value()), bytes);
    for (const char* bad : {"\x81\xAD", "ok\x93", "\x82"}) EXPECT_FALSE(Cp932ToUtf8(bad));
}

// A path or name is taken only when it comes back exactly (glibc would give ¥
// the code of a folder separator); typed text keeps those as references.
TEST(Encoding, CharactersThatWouldComeBackAsOthersAreRefusedOrReferences) {
    for (const char* bad : {"a\u00A5b.txt", "\u203E", "\u301C", "\u2016", "\u2212", "\u00A2",
                            "\u2014", "x\U000E0041y", "smile 😀"}) {
        EXPECT_FALSE(Utf8ToCp932(bad)) << bad;
    }
    EXPECT_EQ(Utf8ToCp932("a\\b/c～").value(), "a\\b/c\x81\x60");
    EXPECT_EQ(Utf8ToCp932WithReferences("\u00A5100 \u203E😀\u301C").value(),
              "&#xA5;100 &#x203E;&#x1F600;\x81\x60");
    // The look-alikes get the same codes on every system, so a page is the same.
    EXPECT_EQ(Utf8ToCp932WithReferences("\u00A2\u00A3\u00AC\u2014\u2016\u2212").value(),
              "\x81\x91\x81\x92\x81\xCA\x81\x5C\x81\x61\x81\x7C");
    EXPECT_TRUE(IsWellFormedUtf8("\xF4\x8F\xBF\xBF"));
    // Overlong, surrogates, above U+10FFFF, cut short, lone continuation.
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                            "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xE6\x97", "\x80", "\xFF"}) {
        EXPECT_FALSE(IsWellFormedUtf8(bad)) << bad;
        EXPECT_FALSE(Utf8ToCp932WithReferences(bad)) << bad;
    }
}

TEST(PathText, CutsOnlyAtRealSeparatorsAndPrefixesNeverInsideADoubleByteCharacter) {
    const std::string juu = "\x8f\x5c", so = "\x83\x5c";  // 十 and ソ end in the byte of '\'
    EXPECT_EQ(FileNamePart("web\\" + juu + "月.html"), juu + "月.html");
    EXPECT_EQ(FolderPart("C:\\" + so + "フト/" + juu + ".html"), "C:\\" + so + "フト/");
    EXPECT_FALSE(HasSeparator(juu + so));
    EXPECT_EQ(ToFsPath("web\\" + juu + "\\a.html").value(), "web/十/a.html");
    EXPECT_EQ(Cp932PrefixLength("a" + juu + "\xb6", 2), 1u);  // a十ｶ, never inside 十
    EXPECT_EQ(Cp932PrefixLength("a" + juu + "\xb6", 3), 3u);
}

}  // namespace
}  // namespace qm
