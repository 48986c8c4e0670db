#include "engine/web_images.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "engine/diary_page.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/system_io.h"
#include "platform/utf8_path.h"
#include "settings/active_config.h"

namespace qm {

namespace {

// Names tried before giving up on an images folder full of namesakes.
constexpr int kMaxNameNumber = 1000;

// "a.jpg", "a-2.jpg", "a-3.jpg" ...
std::string NumberedName(std::string_view name, int number) {
    if (number < 2) return std::string(name);
    const std::string suffix = "-" + std::to_string(number);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::string(name) + suffix;
    return std::string(name.substr(0, dot)) + suffix + std::string(name.substr(dot));
}

// What stands at `src` beside the pages: nothing, these very bytes, or
// something else (also when that cannot be told).
enum class Holder { Nothing, Same, Other };

Holder WhatHolds(const ActiveConfig& config, const std::string& src, const std::string& bytes) {
    const auto path = NativePathOf(config.diaryFolder + src);
    if (!path) return Holder::Other;
    const auto existing = ReadRegularFile(*path);
    if (existing) return *existing == bytes ? Holder::Same : Holder::Other;
    return existing.problem().code == ENOENT ? Holder::Nothing : Holder::Other;
}

enum class CopyWrite { Made, AlreadyThere, Failed };

// Never over another file: a name taken meanwhile is reported.
CopyWrite WriteCopy(const ActiveConfig& config, const WebImage& image, std::string& problem) {
    const std::string target = config.diaryFolder + image.src;
    const auto path = NativePathOf(target);
    if (!path) {
        problem = FileProblemLine(path.problem());
        return CopyWrite::Failed;
    }
    std::error_code ignored;  // a folder that cannot be made is said by the write
    std::filesystem::create_directory(PathOfUtf8(path->Folder().str()), ignored);
    const auto made = CreateFileWith(*path, 0644, [&image](int fd) {
        return WriteAll(fd, image.bytes.data(), image.bytes.size());
    });
    if (made) return CopyWrite::Made;
    switch (WhatHolds(config, image.src, image.bytes)) {
        case Holder::Same:
            return CopyWrite::AlreadyThere;
        case Holder::Other:
            if (FileExists(*path)) {
                problem = RefusalLine(target, msg::kImageNameTakenReason);
                return CopyWrite::Failed;
            }
            break;
        case Holder::Nothing:
            break;
    }
    problem = FileProblemLine(made.problem());
    return CopyWrite::Failed;
}

}  // namespace

WebImageSettings WebImageSettingsOf(const ActiveConfig& config) {
    WebImageSettings settings;
    settings.enabled = config.webCopies != 0;
    if (config.imageLongestSide > 0) settings.longestSide = config.imageLongestSide;
    settings.quality = std::clamp(config.imageQuality, 1, 100);
    return settings;
}

std::optional<WebImage> PrepareWebImage(const ActiveConfig& config, const RunState& run,
                                        std::string_view originalCp932, std::string& problem) {
    WebImage image;
    image.original = originalCp932;
    const std::string name = FileNamePart(originalCp932);
    const WebImageSettings settings = WebImageSettingsOf(config);
    if (!settings.enabled) {
        image.copied = false;
        image.src = name;
        return image;
    }
    const auto path = NativePathOf(originalCp932);
    auto bytes = path ? ReadRegularFile(*path) : FileResult<std::string>(path.problem());
    if (!bytes) {
        problem = FileProblemLine(bytes.problem());
        return std::nullopt;
    }
    WebCopy copy = MakeWebCopy(*bytes, settings);
    if (copy.kind == WebCopy::Kind::Failed) {
        problem = RefusalLine(originalCp932, msg::kImageUndecodableReason);
        return std::nullopt;
    }
    image.bytes = copy.kind == WebCopy::Kind::Converted ? std::move(copy.bytes) : std::move(*bytes);
    image.width = copy.width;
    image.height = copy.height;
    for (int number = 1; number <= kMaxNameNumber; ++number) {
        image.src = std::string(kImagesFolder) + NumberedName(name, number);
        const bool takenThisRun =
            std::any_of(run.webImages.begin(), run.webImages.end(), [&image](const WebImage& w) {
                return w.copied && w.src == image.src && w.bytes != image.bytes;
            });
        if (!takenThisRun && WhatHolds(config, image.src, image.bytes) != Holder::Other)
            return image;
    }
    problem = RefusalLine(config.diaryFolder + std::string(kImagesFolder) + name,
                          msg::kImageNameTakenReason);
    return std::nullopt;
}

EntryInput WithImageSize(const EntryInput& input, const RunState& run) {
    EntryInput sized = input;
    for (const WebImage& image : run.webImages) {
        if (image.copied && image.src == input.imageName) {
            sized.imageWidth = image.width;
            sized.imageHeight = image.height;
        }
    }
    return sized;
}

PublishedImages PublishWebImages(const ActiveConfig& config, RunState& run, Host& host) {
    PublishedImages published;
    std::vector<std::string> done;
    for (const std::string& original : run.imageUploadList) {
        if (std::find(done.begin(), done.end(), original) != done.end()) continue;
        done.push_back(original);
        auto plan = std::find_if(run.webImages.begin(), run.webImages.end(),
                                 [&original](const WebImage& w) { return w.original == original; });
        std::string problem;
        if (plan == run.webImages.end()) {
            auto prepared = PrepareWebImage(config, run, original, problem);
            if (!prepared) {
                host.ShowMessage(Sjis(msg::kImageLeftOutText) + "\r\n" + problem,
                                 Sjis(msg::kImageLeftOutCaption));
                continue;
            }
            run.webImages.push_back(std::move(*prepared));
            plan = std::prev(run.webImages.end());
        }
        if (!plan->copied) {
            published.upload.push_back(original);
            continue;
        }
        const std::string target = config.diaryFolder + plan->src;
        switch (WriteCopy(config, *plan, problem)) {
            case CopyWrite::Made:
                published.made.push_back(target);
                [[fallthrough]];
            case CopyWrite::AlreadyThere:
                published.upload.push_back(target);
                break;
            case CopyWrite::Failed:
                host.ShowMessage(Sjis(msg::kImageLeftOutText) + "\r\n" + problem,
                                 Sjis(msg::kImageLeftOutCaption));
                break;
        }
    }
    return published;
}

void RemoveMadeImages(const std::vector<std::string>& madeCp932) {
    for (const std::string& made : madeCp932) {
        if (const auto path = NativePathOf(made)) RemoveFile(*path);
    }
}

bool IsWebImagePath(const ActiveConfig& config, std::string_view pathCp932) {
    return FolderPart(pathCp932) == config.diaryFolder + std::string(kImagesFolder) &&
           !FileNamePart(pathCp932).empty();
}

}  // namespace qm
