#include "cli/feed_command_line.h"

#include <charconv>
#include <cstdio>

#include "cli/console_host.h"
#include "cli/generate_command_line.h"
#include "engine/feed.h"
#include "engine/generate.h"
#include "engine/set_files.h"
#include "platform/encoding.h"
#include "settings/keys.h"

namespace qm {

namespace {

struct FeedRequest {
    std::optional<std::string> setName;  // code page 932
    std::optional<std::string> file, site, title;
    std::optional<int> count;
};

int Usage(const std::string& error) {
    std::fprintf(stderr, "quillmaker feed: %s\ntry: quillmaker --help\n", error.c_str());
    return 2;
}

// The words after "feed"; std::nullopt with `error` set on a usage error.
std::optional<FeedRequest> ParseFeedArguments(const std::vector<std::string>& words,
                                              std::string& error) {
    FeedRequest request;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const auto eq = word.find('=');
        const std::string name = word.substr(0, eq);
        std::string value;
        if (eq != std::string::npos) {
            value = word.substr(eq + 1);
        } else if (i + 1 < words.size() && name.starts_with("--")) {
            value = words[++i];
        } else {
            error = name.starts_with("--") ? name + " needs a value"
                                           : "unknown argument \"" + word + "\"";
            return std::nullopt;
        }
        // The settings files hold code page 932 text.
        auto cp932 = Utf8ToCp932(value);
        if (!cp932) {
            error = name + " cannot be written in Shift-JIS: " + value;
            return std::nullopt;
        }
        if (name == "--set") {
            request.setName = *cp932;
        } else if (name == "--path") {
            request.file = *cp932;
        } else if (name == "--site") {
            request.site = *cp932;
        } else if (name == "--title") {
            request.title = *cp932;
        } else if (name == "--count") {
            int count = 0;
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), count);
            if (ec != std::errc() || end != value.data() + value.size()) {
                error = "--count wants a number, not \"" + value + "\"";
                return std::nullopt;
            }
            request.count = count;
        } else {
            error = "unknown argument \"" + word + "\"";
            return std::nullopt;
        }
    }
    return request;
}

void PrintFeedSettings(const ActiveConfig& config) {
    const FeedSettings& feed = config.feed;
    if (feed.file.empty()) {
        std::printf("no feed\n");
        return;
    }
    std::printf("path: %s\nsite: %s\ntitle: %s\ncount: %d\n",
                TerminalText(FeedPath(config)).c_str(), TerminalText(feed.site).c_str(),
                FeedTitle(config).c_str(), feed.count);
}

}  // namespace

int RunFeedCommandLine(const GlobalOptions& options) {
    std::string error;
    const std::vector<std::string> words(options.rest.begin() + 1, options.rest.end());
    const auto request = ParseFeedArguments(words, error);
    if (!request) return Usage(error);

    ActiveConfig config;
    InitConfig(config, ProgramDirCp932(options));
    ConsoleHost host;
    const auto system =
        LoadSettingsOrSay(config.systemIniPath, NativeProgramFile(config, kSystemIniName), host);
    if (!system) return 1;
    const auto setIndex = ChooseSetIndex(config, request->setName, error);
    if (!setIndex) {
        if (!error.empty()) return Usage(error);
        host.OpenSetManager(config);
        return 1;
    }
    if (!ReadSetPaths(config, *system, *setIndex, host)) return 1;
    if (!request->file && !request->site && !request->title && !request->count) {
        PrintFeedSettings(config);
        return 0;
    }

    FeedSettings feed = config.feed;
    feed.file = request->file.value_or(feed.file);
    feed.site = request->site.value_or(feed.site);
    feed.title = request->title.value_or(feed.title);
    feed.count = request->count.value_or(feed.count);
    if (const std::string_view problem = FeedSettingsProblem(config, feed); !problem.empty()) {
        return Usage("these settings cannot be used: " + std::string(problem));
    }
    if (!WriteFeedSettings(config.configIniPath, feed)) {
        std::fprintf(stderr, "quillmaker feed: cannot write %s\n",
                     TerminalText(config.configIniPath).c_str());
        return 1;
    }
    config.feed = feed;
    PrintFeedSettings(config);
    return 0;
}

}  // namespace qm
