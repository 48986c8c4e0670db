#include "engine/program_arguments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/generate.h"
#include "engine/messages.h"
#include "platform/encoding.h"
#include "platform/process.h"

namespace qm {
namespace {

TEST(QuoteArgument, WindowsRulesKeepEveryPathOneArgument) {
    const std::pair<std::string, std::string> rows[] = {
        {"/web/a b.html", "\"/web/a b.html\""},
        {"/pics/pic\" \"QMsys.ini\" \"--batch\" \"x.jpg",
         "\"/pics/pic\\\" \\\"QMsys.ini\\\" \\\"--batch\\\" \\\"x.jpg\""},
        {"C:\\web\\", "\"C:\\web\\\\\""},  // a closing backslash is doubled
        {"a\\\"b", "\"a\\\\\\\"b\""},      // backslash then quote
        {"a\\\\b", "\"a\\\\b\""},          // backslashes elsewhere stay
        {"\x95\x5c", "\"\x95\x5c\""},      // 表: its 0x5C is no backslash
        {"\x95\x5c\"", "\"\x95\x5c\\\"\""},
        {"", "\"\""},
    };
    for (const auto& [path, quoted] : rows) EXPECT_EQ(QuoteArgument(path), quoted) << path;
}

// What the upload tool receives: the parameter text as StartProgram splits it.
std::vector<std::string> Received(std::string_view parametersCp932) {
    std::vector<std::string> args = SplitCommandLine(Cp932ToUtf8(parametersCp932).value());
    for (auto& a : args) std::replace(a.begin(), a.end(), '\\', '/');
    return args;
}

TEST(UploadParameters, EveryPathReachesTheToolAsOneArgument) {
    ActiveConfig config;
    config.diaryPage = Sjis("/web/日記 \"表\".html");
    config.logPath = Sjis("C:\\web\\log.html");
    config.diaryFolder = "/web/";
    config.currentName = "now.html";
    RunState run;
    run.logUpdated = true;
    AppendImageUpload(run.imageUploadList, Sjis("/pics/pic\" \"QMsys.ini\" \"--batch\" \"x.jpg"));
    AppendImageUpload(run.imageUploadList, Sjis("/写真/表\\"));
    EXPECT_EQ(Received(UploadParameters(config, run, true)),
              (std::vector<std::string>{"/web/日記 \"表\".html", "C:/web/log.html",
                                        "/pics/pic\" \"QMsys.ini\" \"--batch\" \"x.jpg",
                                        "/写真/表/", "/web/now.html"}));
}

}  // namespace
}  // namespace qm
