#include "platform/path_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// 十 0x8F5C, ソ 0x835C, 表 0x955C, 能 0x945C: each ends in the byte of '\'.
const std::string kJuu = "\x8f\x5c";
const std::string kSo = "\x83\x5c";
const std::string kHyou = "\x95\x5c";

TEST(PathText, CutsAfterTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(FolderPart("C:\\web\\a.html"), "C:\\web\\");
    EXPECT_EQ(FileNamePart("C:\\web\\a.html"), "a.html");
    EXPECT_EQ(FolderPart("/home/u/web/a.html"), "/home/u/web/");
    EXPECT_EQ(FileNamePart("mixed\\dir/b.png"), "b.png");
    EXPECT_EQ(FolderPart("a.html"), "");
    EXPECT_EQ(FileNamePart("a.html"), "a.html");
    EXPECT_FALSE(HasSeparator("a.html"));
    EXPECT_EQ(FileNamePart("dir/"), "");
}

TEST(PathText, SecondByteOfADoubleByteCharacterIsNoSeparator) {
    EXPECT_EQ(FileNamePart("web\\" + kJuu + "月.html"), kJuu + "月.html");
    EXPECT_EQ(FolderPart("C:\\" + kSo + "フト\\" + kHyou + ".html"), "C:\\" + kSo + "フト\\");
    EXPECT_FALSE(HasSeparator(kJuu + kSo + kHyou));
    EXPECT_EQ(AfterLastSeparator(kJuu), 0u);
}

TEST(PathText, FileSystemPathTurnsOnlyRealBackslashesIntoSlashes) {
    EXPECT_EQ(ToFsPath("web\\" + kJuu + "\\a.html").value(), "web/十/a.html");
    EXPECT_EQ(ToFsPath("plain/a.html").value(), "plain/a.html");
    EXPECT_FALSE(ToFsPath("\x81"));  // a lead byte with nothing after it
}

}  // namespace
}  // namespace qm
