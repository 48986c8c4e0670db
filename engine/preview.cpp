#include "engine/preview.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "engine/generate.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "engine/web_images.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/utf8_path.h"

namespace qm {

namespace {

std::optional<PreviewPage> Problem(Host& host, std::string_view text, std::string_view caption) {
    host.ShowMessage(Sjis(text), Sjis(caption));
    return std::nullopt;
}

// A file that could not be read: the message says why, as "Do It !!!" does.
std::optional<PreviewPage> UnreadableFile(Host& host, std::string_view text,
                                          std::string_view caption, const FileProblem& problem) {
    host.ShowMessage(SjisWithFileProblem(text, problem), Sjis(caption));
    return std::nullopt;
}

// Where "<TAG" (in any case, followed by a blank or '>') ends with its '>';
// npos when there is no such tag. '<' and '>' are never the second byte of a
// double-byte character, so a byte search finds only real tags.
std::size_t AfterOpeningTag(std::string_view text, std::string_view tag) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        std::size_t i = 0;
        while (i < tag.size() && at + 1 + i < text.size() &&
               std::tolower(static_cast<unsigned char>(text[at + 1 + i])) == tag[i]) {
            ++i;
        }
        const std::size_t next = at + 1 + i;
        if (i != tag.size() || next >= text.size()) continue;
        if (text[next] != '>' && !std::isspace(static_cast<unsigned char>(text[next]))) continue;
        const std::size_t close = text.find('>', next);
        return close == std::string_view::npos ? std::string_view::npos : close + 1;
    }
    return std::string_view::npos;
}

// The page's folder as a file URL; a page without a folder lies in the
// program folder, the working directory.
std::string PageFolderUrl(const NativePath& page) {
    const std::string folder = page.Folder().empty() ? std::string("./") : page.Folder().str();
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(PathOfUtf8(folder), ec);
    return ec ? std::string() : FileUrlOfFolder(Utf8OfPath(absolute.lexically_normal()));
}

}  // namespace

std::string FileUrlOfFolder(std::string_view folderUtf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : folderUtf8) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
    if (url.back() != '/') url += '/';
    return url;
}

std::string WithBaseReference(std::string_view pageText, std::string_view folderUrl) {
    const std::string base = "<base href=\"" + std::string(folderUrl) + "\">";
    std::size_t at = AfterOpeningTag(pageText, "head");
    if (at == std::string_view::npos) at = AfterOpeningTag(pageText, "html");
    if (at == std::string_view::npos) at = 0;
    std::string out;
    out.reserve(pageText.size() + base.size());
    out.append(pageText.substr(0, at));
    out.append(base);
    out.append(pageText.substr(at));
    return out;
}

std::optional<PreviewPage> PreviewEntry(const ActiveConfig& config, const RunState& run,
                                        const EntryInput& input, Host& host) {
    // The paths as "Do It !!!" would read them, without recording the page or
    // creating anything.
    ActiveConfig fresh = config;
    if (!ReadSetPaths(fresh, run.currentSetIndex, host)) return std::nullopt;
    const std::tm now = ReadLocalClock();
    PreviewPage preview;
    preview.pagePath = DiaryPageName(fresh.splitMode, fresh, now);
    const auto page = NativeDiaryPage(fresh, preview.pagePath);
    const auto& templatePath = fresh.native.templatePath;

    const auto templateBytes = templatePath ? ReadRegularFile(*templatePath)
                                            : FileResult<std::string>(templatePath.problem());
    if (!templateBytes) {
        return UnreadableFile(host, msg::kTemplateOpenText, msg::kTemplateOpenCaption,
                              templateBytes.problem());
    }
    if (templateBytes->empty()) {
        return Problem(host, msg::kReadFailedText, msg::kReadFailedCaption);
    }

    // A page of a new period does not exist before "Do It !!!" copies it from
    // the prototype; the prototype is what it would start as.
    if (!page)
        return UnreadableFile(host, msg::kPageOpenText, msg::kPageOpenCaption, page.problem());
    auto pageBytes = ReadRegularFile(*page);
    preview.newPage = !pageBytes && !FileExists(*page);
    if (preview.newPage) {
        const auto& prototypePath = fresh.native.prototypePath;
        pageBytes = prototypePath ? ReadRegularFile(*prototypePath)
                                  : FileResult<std::string>(prototypePath.problem());
    }
    if (!pageBytes) {
        return UnreadableFile(host, msg::kPageOpenText, msg::kPageOpenCaption, pageBytes.problem());
    }

    preview.entry = ComposeEntryText(*templateBytes, WithImageSize(input, run),
                                     !run.imageUploadList.empty(), now);
    const Insertion inserted = InsertAtMarker(TextUpToNul(*pageBytes), TextUpToNul(preview.entry),
                                              Sjis(msg::kInsertMarker));
    if (!inserted.found) {
        // The page of a new period starts as the prototype, which lacks it then.
        host.ShowMessage(NoMarkerText(preview.newPage ? fresh.prototypePath : preview.pagePath),
                         Sjis(msg::kNoMarkerCaption));
        return std::nullopt;
    }

    const std::string folderUrl = PageFolderUrl(*page);
    preview.text = folderUrl.empty() ? inserted.page : WithBaseReference(inserted.page, folderUrl);
    return preview;
}

}  // namespace qm
