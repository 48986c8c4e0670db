#include <string>

#include "engine/entry.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "platform/stream_replace.h"
#include "settings/active_config.h"

namespace qm {

bool InsertEntryText(std::string_view pagePath, std::string_view entryText, Host& host) {
    const auto pageProblem = [&host](std::string_view text, std::string_view caption) {
        host.ShowMessage(Sjis(text), Sjis(caption));
        return false;
    };

    // A read-only page is made writable first, so it can take the entry.
    MakeOwnerWritable(pagePath);
    auto page = LockedFile::Open(pagePath, LockedFile::Mode::CreateIfMissing);
    if (!page) return pageProblem(msg::kPageOpenText, msg::kPageOpenCaption);
    // A marker begins with '<', which is never the second byte of a
    // double-byte character, so a plain byte search cannot match inside one.
    const std::string marker = Sjis(msg::kInsertMarker);
    const auto at = FindMarkerInText(page->descriptor(), marker);
    if (!at) return pageProblem(msg::kPageOpenText, msg::kPageOpenCaption);
    if (!at->found) return pageProblem(msg::kNoMarkerText, msg::kNoMarkerCaption);

    // Without an entry there is nothing to put in: the page stays as it is,
    // and an empty entry never takes the marker away.
    if (entryText.empty()) return pageProblem(msg::kReadFailedText, msg::kReadFailedCaption);
    if (!ReplaceWithInsertion(*page, *at, marker.size(), entryText))
        return pageProblem(msg::kPageWriteText, msg::kPageWriteCaption);
    return true;
}

bool InsertEntry(const ActiveConfig& config, std::string_view pagePath, Host& host) {
    std::optional<std::string> entryBytes;
    if (auto entryFile = LockedFile::Open(EntryFilePath(config), LockedFile::Mode::OpenExisting)) {
        entryBytes = entryFile->ReadAll();
    }
    return InsertEntryText(pagePath, entryBytes ? TextUpToNul(*entryBytes) : std::string_view(),
                           host);
}

}  // namespace qm
