#include "engine/program_arguments.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/process.h"

namespace qm {
namespace {

TEST(QuoteArgument, WindowsRulesKeepEveryPathOneArgument) {
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
}

// An image taken off the entry leaves the list; the others stay whole arguments.
TEST(RemoveImageUpload, TakesTheLastImageOfThatNameOnly) {
    std::string list;
    for (const char* path : {"/p/a.jpg", "/q/\"b\" \x95\x5c.jpg", "/r/a.jpg"})
        AppendImageUpload(list, path);
    EXPECT_FALSE(RemoveImageUpload(list, "a"));
    EXPECT_TRUE(RemoveImageUpload(list, "a.jpg"));
    EXPECT_EQ(SplitCommandLine(list),
              (std::vector<std::string>{"/p/a.jpg", "/q/\"b\" \x95\x5c.jpg"}));
    EXPECT_TRUE(RemoveImageUpload(list, "\"b\" \x95\x5c.jpg"));
    EXPECT_TRUE(RemoveImageUpload(list, "a.jpg"));
    EXPECT_EQ(list, "");
}

}  // namespace
}  // namespace qm
