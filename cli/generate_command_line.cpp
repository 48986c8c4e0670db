#include "cli/generate_command_line.h"

#include <cstdio>

#include "cli/console_host.h"
#include "engine/diary_page.h"
#include "engine/generate.h"
#include "engine/preview.h"
#include "engine/set_files.h"
#include "engine/web_images.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/utf8_path.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/profile.h"

namespace qm {

namespace {

// A path given on the command line, relative ones from where it was started;
// "C:/..." is absolute on Windows too.
std::string FromStartDir(const std::string& name, const std::string& startDir) {
    return name.front() == '/' || PathOfUtf8(name).is_absolute() ? name : startDir + name;
}

// Standard input for "-", else a regular file (never a FIFO or a device).
// The body must be text: a NUL byte would silently end the entry there.
std::optional<std::string> ReadBodyFile(const std::string& name, const std::string& startDir,
                                        std::string& error) {
    if (name.empty()) {
        error = "--body-file needs a file (or - for standard input)";
        return std::nullopt;
    }
    auto bytes = name == "-" ? ReadStandardInput()
                             : ReadRegularFile(NativePath(FromStartDir(name, startDir)));
    if (!bytes) {
        error = "cannot read the body file " + name + ": " + bytes.problem().answer;
        return std::nullopt;
    }
    if (bytes->find('\0') != std::string::npos) {
        error = "the body file " + name + " holds a NUL byte; it is not text";
        return std::nullopt;
    }
    return std::move(*bytes);
}

// Typed text as the window would store it: a character Shift-JIS cannot hold
// becomes a numeric character reference instead of being lost.
// Text that is not well-formed UTF-8 (overlong forms, surrogates) is refused
// rather than turned into references to characters no one typed.
std::optional<std::string> TypedText(const std::string& utf8, const char* what,
                                     std::string& error) {
    auto text = IsWellFormedUtf8(utf8) ? Utf8ToCp932WithReferences(utf8) : std::nullopt;
    if (!text) error = std::string(what) + " is not valid UTF-8";
    return text;
}

struct RawArguments {
    std::optional<std::string> set, title, body, bodyFile, image, alt;
    std::optional<bool> upload;
    bool dryRun = false;
};

std::optional<RawArguments> SplitArguments(const std::vector<std::string>& words,
                                           std::string& error) {
    RawArguments raw;
    auto value = [&](std::size_t& i, std::optional<std::string>& into) {
        const std::string& word = words[i];
        const auto eq = word.find('=');
        if (eq != std::string::npos) {
            into = word.substr(eq + 1);
        } else if (i + 1 < words.size()) {
            into = words[++i];
        } else {
            error = word + " needs a value";
            return false;
        }
        return true;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string name = words[i].substr(0, words[i].find('='));
        bool ok = true;
        if (name == "--set") {
            ok = value(i, raw.set);
        } else if (name == "--title") {
            ok = value(i, raw.title);
        } else if (name == "--body") {
            ok = value(i, raw.body);
        } else if (name == "--body-file") {
            ok = value(i, raw.bodyFile);
        } else if (name == "--image") {
            ok = value(i, raw.image);
        } else if (name == "--alt") {
            ok = value(i, raw.alt);
        } else if (words[i] == "--upload" || words[i] == "--no-upload") {
            if (raw.upload && *raw.upload != (words[i] == "--upload")) {
                error = "--upload and --no-upload contradict each other";
                return std::nullopt;
            }
            raw.upload = words[i] == "--upload";
        } else if (words[i] == "--dry-run") {
            raw.dryRun = true;
        } else {
            error = "unknown argument \"" + words[i] + "\"";
            return std::nullopt;
        }
        if (!ok) return std::nullopt;
    }
    if (!raw.title)
        error = "--title is required";
    else if (!raw.body && !raw.bodyFile)
        error = "--body or --body-file is required";
    else if (raw.body && raw.bodyFile)
        error = "give --body or --body-file, not both";
    else if (raw.alt && !raw.image)
        error = "--alt needs --image";
    else if (raw.image && raw.image->empty())
        error = "--image needs a path";
    if (!error.empty()) return std::nullopt;
    return raw;
}

void PrintTerminalBlock(std::FILE* out, std::string_view cp932) {
    for (char c : TerminalText(cp932)) {
        if (c != '\r') std::fputc(c, out);
    }
}

// The entry and the page that would receive it, as the window's preview
// makes them: nothing is written or created.
int DryRun(const ActiveConfig& config, const RunState& run, const GenerateRequest& request,
           Host& host) {
    const auto preview = PreviewEntry(config, run, request.input, host);
    if (!preview) return 1;
    std::printf("page: %s%s\n", TerminalText(preview->pagePath).c_str(),
                preview->newPage ? " (new, made from the prototype page)" : "");
    PrintTerminalBlock(stdout, preview->entry);
    std::printf("\n");
    // The feed's entry as the page that would receive it gives it.
    ActiveConfig loaded = config;
    if (!ReadSetPaths(loaded, run.currentSetIndex, host) || loaded.feed.file.empty()) return 0;
    loaded.diaryPage = preview->pagePath;
    const auto entry =
        PreviewFeedEntry(loaded, FeedInputFor(loaded, request.input, preview->entry));
    std::printf("feed: %s\n%s", TerminalText(FeedPath(loaded)).c_str(),
                entry ? entry->element.c_str() : "(the entry cannot be put into the feed)\n");
    return 0;
}

}  // namespace

std::optional<int> ChooseSetIndex(const ActiveConfig& config,
                                  const std::optional<std::string>& setName, std::string& error) {
    const int count = CountListEntries(config.systemIniPath, syskeys::kSetListSection);
    if (count == 0) return std::nullopt;
    if (setName) {
        std::string known;
        for (int i = 0; i < count; ++i) {
            const std::string name = ReadListEntry(config.systemIniPath, syskeys::kSetListSection,
                                                   i, syskeys::kSetNameCapacity);
            if (name == *setName) return i;
            known += (known.empty() ? "" : ", ") + TerminalText(name);
        }
        error = "no set named \"" + TerminalText(*setName) + "\" (sets: " + known + ")";
        return std::nullopt;
    }
    return SetIndexInList(ReadKey(config.systemIniPath, syskeys::kCurrent), count);
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<GenerateRequest> ParseGenerateArguments(const std::vector<std::string>& words,
                                                      const std::string& startDir,
                                                      std::string& error) {
    auto raw = SplitArguments(words, error);
    if (!raw) return std::nullopt;
    GenerateRequest request;
    request.upload = raw->upload;
    request.dryRun = raw->dryRun;
    if (raw->set) {
        request.setName = Utf8ToCp932(*raw->set);
        if (!request.setName) {
            error = "the set name cannot be written in Shift-JIS: " + *raw->set;
            return std::nullopt;
        }
    }
    std::optional<std::string> bodyUtf8 = raw->body;
    if (raw->bodyFile) bodyUtf8 = ReadBodyFile(*raw->bodyFile, startDir, error);
    if (!bodyUtf8) return std::nullopt;
    auto title = TypedText(*raw->title, "the title", error);
    auto body = title ? TypedText(*bodyUtf8, "the body", error) : std::nullopt;
    if (!body) return std::nullopt;
    request.input.title = *title;
    request.input.body = ToCrLf(*body);
    if (raw->image) {
        // SplitArguments has refused an empty --image.
        const std::string full = FromStartDir(*raw->image, startDir);
        auto path = Utf8ToCp932(full);
        if (!path) {
            error = "the image path cannot be written in Shift-JIS: " + *raw->image;
            return std::nullopt;
        }
        auto alt = TypedText(raw->alt.value_or(""), "the alt text", error);
        if (!alt) return std::nullopt;
        request.imagePath = *path;
        request.input.imageName = FileNamePart(*path);
        request.input.altText = *alt;
    }
    return request;
}

int RunGenerateCommandLine(const GlobalOptions& options) {
    std::string error;
    const std::vector<std::string> words(options.rest.begin() + 1, options.rest.end());
    auto request = ParseGenerateArguments(words, options.startDir, error);
    if (!request) {
        std::fprintf(stderr, "quillmaker generate: %s\n", error.c_str());
        std::fprintf(stderr, "try: quillmaker --help\n");
        return 2;
    }
    ActiveConfig config;
    InitConfig(config, ProgramDirCp932(options));
    ConsoleHost host;
    if (!LoadSettingsOrSay(config.systemIniPath, NativeProgramFile(config, kSystemIniName), host))
        return 1;
    auto setIndex = ChooseSetIndex(config, request->setName, error);
    if (!setIndex) {
        if (!error.empty()) {
            std::fprintf(stderr, "quillmaker generate: %s\n", error.c_str());
            return 2;
        }
        host.OpenSetManager(config);
        return 1;
    }
    RunState run;
    run.currentSetIndex = *setIndex;
    if (!request->imagePath.empty()) {
        // The entry's tag names the web copy, which needs the set's folder.
        if (!ReadSetPaths(config, *setIndex, host)) return 1;
        std::string problem;
        auto image = PrepareWebImage(config, run, request->imagePath, problem);
        if (!image) {
            std::fprintf(stderr, "quillmaker generate: %s\n", TerminalText(problem).c_str());
            return 1;
        }
        request->input.imageName = image->src;
        run.imageUploadList.push_back(request->imagePath);
        run.webImages.push_back(std::move(*image));
    }
    config.upFlag = ReadKey(config.systemIniPath, syskeys::kUp);
    request->input.upload = request->upload.value_or(config.upFlag == 1);
    if (request->dryRun) return DryRun(config, run, *request, host);

    switch (GenerateCommand(config, run, request->input, host)) {
        case GenerateResult::Written:
            std::printf("%s\n", TerminalText(config.diaryPage).c_str());
            return 0;
        case GenerateResult::WrittenNoUploader:
            std::printf("%s\n", TerminalText(config.diaryPage).c_str());
            return 3;
        case GenerateResult::Failed:
            break;
    }
    return 1;
}

}  // namespace qm
