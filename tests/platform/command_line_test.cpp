#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"

namespace qm {
namespace {

TEST(CommandLine, QuotingKeepsEveryPathOneArgument) {
    const std::pair<std::string, std::string> rows[] = {
        {"/web/a b.html", "\"/web/a b.html\""},
        {"/pics/pic\" \"QMsys.ini\" \"--batch\" \"x.jpg",
         "\"/pics/pic\\\" \\\"QMsys.ini\\\" \\\"--batch\\\" \\\"x.jpg\""},
        {"C:\\web\\", "\"C:\\web\\\\\""},    // a closing backslash is doubled
        {"a\\\"b", "\"a\\\\\\\"b\""},        // backslash then quote
        {"\x95\x5c\"", "\"\x95\x5c\\\"\""},  // 表: its 0x5C is no backslash
        {"", "\"\""},
    };
    for (const auto& [path, quoted] : rows) EXPECT_EQ(QuoteArgument(path), quoted) << path;

    EXPECT_EQ(SplitCommandLine("\"C:\\web\\a b.html\"  \"\"\tc a\\\\b a\\\"b \"a\\\\\""),
              (std::vector<std::string>{"C:\\web\\a b.html", "", "c", "a\\\\b", "a\"b", "a\\"}));
}

// The draft keeps the images as one code page 932 command line and reads it
// back through UTF-8, where a character's second byte is no backslash.
TEST(CommandLine, ALineOfQuotedCp932PathsSplitsBackThroughUtf8) {
    const std::vector<std::string> paths{"/pics/表\"", "C:\\写真\\", "a b\\\"c", "", "十"};
    std::vector<std::string> cp932;
    for (const std::string& path : paths) cp932.push_back(Utf8ToCp932(path).value());
    const auto line = Cp932ToUtf8(JoinCommandLine(cp932));
    ASSERT_TRUE(line);
    EXPECT_EQ(SplitCommandLine(*line), paths);
}

}  // namespace
}  // namespace qm
