#include "platform/path_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(PathText, CutsOnlyAtRealSeparatorsNeverInsideADoubleByteCharacter) {
    const std::string juu = "\x8f\x5c", so = "\x83\x5c";  // 十 and ソ end in the byte of '\'
    EXPECT_EQ(FileNamePart("web\\" + juu + "月.html"), juu + "月.html");
    EXPECT_EQ(FolderPart("C:\\" + so + "フト/" + juu + ".html"), "C:\\" + so + "フト/");
    EXPECT_FALSE(HasSeparator(juu + so));
    EXPECT_EQ(ToFsPath("web\\" + juu + "\\a.html").value(), "web/十/a.html");
}

}  // namespace
}  // namespace qm
