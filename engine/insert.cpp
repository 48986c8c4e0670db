#include <string>

#include "engine/entry.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "settings/active_config.h"

namespace qm {

Insertion InsertAtMarker(std::string_view pageText, std::string_view entryText,
                         std::string_view marker) {
    // A marker begins with '<', which is never the second byte of a double-byte
    // character, so a plain byte search cannot match inside a character.
    Insertion result;
    const std::size_t at = pageText.find(marker);
    if (marker.empty() || at == std::string_view::npos) return result;
    result.found = true;
    // One byte more for the NUL the caller writes after the text.
    result.page.reserve(pageText.size() - marker.size() + entryText.size() + 1);
    result.page.append(pageText.substr(0, at));
    result.page.append(entryText);
    result.page.append(pageText.substr(at + marker.size()));
    return result;
}

bool InsertEntry(const ActiveConfig& config, std::string_view pagePath, Host& host) {
    const auto pageProblem = [&host](std::string_view text, std::string_view caption) {
        host.ShowMessage(Sjis(text), Sjis(caption));
        return false;
    };
    const auto fileProblem = [&host](std::string_view text, std::string_view caption) {
        host.ShowMessage(SjisWithFileProblem(text), Sjis(caption));
        return false;
    };

    // A read-only page is made writable first, so it can take the entry.
    MakeOwnerWritable(pagePath);
    auto page = LockedFile::Open(pagePath, LockedFile::Mode::CreateIfMissing);
    if (!page) return fileProblem(msg::kPageOpenText, msg::kPageOpenCaption);
    auto pageBytes = page->ReadAll();
    if (!pageBytes) return fileProblem(msg::kPageOpenText, msg::kPageOpenCaption);

    auto entryFile = LockedFile::Open(EntryFilePath(config), LockedFile::Mode::OpenExisting);
    const std::string_view pageText = TextUpToNul(*pageBytes);
    const std::string marker = Sjis(msg::kInsertMarker);
    if (pageText.find(marker) == std::string_view::npos) {
        return pageProblem(msg::kNoMarkerText, msg::kNoMarkerCaption);
    }

    // Without a readable entry there is nothing to put in: the page stays as
    // it is, and an empty entry never takes the marker away.
    std::optional<std::string> entryBytes;
    if (entryFile) entryBytes = entryFile->ReadAll();
    const std::string_view entryText = entryBytes ? TextUpToNul(*entryBytes) : std::string_view();
    if (entryText.empty()) {
        return entryBytes ? pageProblem(msg::kReadFailedText, msg::kReadFailedCaption)
                          : fileProblem(msg::kReadFailedText, msg::kReadFailedCaption);
    }

    Insertion inserted = InsertAtMarker(pageText, entryText, marker);
    inserted.page += '\0';
    if (!page->Replace(inserted.page))
        return fileProblem(msg::kPageWriteText, msg::kPageWriteCaption);
    return true;
}

}  // namespace qm
