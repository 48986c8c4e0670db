#include <cerrno>
#include <string>

#include "engine/entry.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "platform/stream_replace.h"
#include "settings/active_config.h"

namespace qm {

bool InsertEntryText(std::string_view pageCp932, const FileResult<NativePath>& pagePath,
                     std::string_view entryText, Host& host) {
    const auto pageProblem = [&host](std::string_view text, std::string_view caption) {
        host.ShowMessage(Sjis(text), Sjis(caption));
        return false;
    };
    const auto fileProblem = [&host](std::string_view text, std::string_view caption,
                                     const FileProblem& problem) {
        host.ShowMessage(SjisWithFileProblem(text, problem), Sjis(caption));
        return false;
    };

    if (!pagePath)
        return fileProblem(msg::kPageOpenText, msg::kPageOpenCaption, pagePath.problem());
    // A read-only page is made writable first, so it can take the entry.
    MakeOwnerWritable(*pagePath);
    auto page = LockedFile::Open(*pagePath, LockedFile::Mode::CreateIfMissing);
    if (!page) return fileProblem(msg::kPageOpenText, msg::kPageOpenCaption, page.problem());
    // A marker begins with '<', which is never the second byte of a
    // double-byte character, so a plain byte search cannot match inside one.
    const std::string marker = Sjis(msg::kInsertMarker);
    const auto at = FindMarkerInText(page->descriptor(), marker);
    if (!at) {
        return fileProblem(msg::kPageOpenText, msg::kPageOpenCaption,
                           SystemProblem(page->path().str(), errno));
    }
    if (!at->found) {
        host.ShowMessage(NoMarkerText(pageCp932), Sjis(msg::kNoMarkerCaption));
        return false;
    }

    // Without an entry there is nothing to put in: the page stays as it is,
    // and an empty entry never takes the marker away.
    if (entryText.empty()) return pageProblem(msg::kReadFailedText, msg::kReadFailedCaption);
    if (auto written = ReplaceWithInsertion(*page, *at, marker.size(), entryText); !written)
        return fileProblem(msg::kPageWriteText, msg::kPageWriteCaption, written.problem());
    return true;
}

Insertion InsertAtMarker(std::string_view pageText, std::string_view entryText,
                         std::string_view marker) {
    // A marker begins with '<', which is never the second byte of a double-byte
    // character, so a plain byte search cannot match inside a character.
    Insertion result;
    const std::size_t at = pageText.find(marker);
    if (marker.empty() || at == std::string_view::npos) return result;
    result.found = true;
    result.page.reserve(pageText.size() - marker.size() + entryText.size());
    result.page.append(pageText.substr(0, at));
    result.page.append(entryText);
    result.page.append(pageText.substr(at + marker.size()));
    return result;
}

}  // namespace qm
