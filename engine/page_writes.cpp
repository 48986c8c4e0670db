#include "engine/page_writes.h"

#include <cerrno>
#include <string>

#include "engine/entry.h"
#include "engine/generate.h"
#include "engine/messages.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/stream_replace.h"

namespace qm {

namespace {

// The prototype's text with the entry in place of its marker, written to
// `target` in one pass. False, with nothing written, when there is no
// prototype, no marker or no entry, or the write fails.
bool WritePrototypeWithEntry(const NativePath& prototypePath, std::string_view entryText,
                             const NativePath& target, WriteTarget how) {
    if (entryText.empty()) return false;
    auto prototype = ReadOnlyFile::Open(prototypePath);
    if (!prototype) return false;
    const std::string marker = Sjis(msg::kInsertMarker);
    const auto at = FindMarkerInText(prototype->descriptor(), marker);
    return at && at->found &&
           WriteInsertionTo(prototype->descriptor(), *at, marker.size(), entryText, target, how);
}

}  // namespace

FileStatus MakePendingNewPage(RunState& run) {
    if (!run.pendingNewPage) return {};
    const PendingNewPage pending = std::move(*run.pendingNewPage);
    FileStatus copied = CopyFileTo(pending.prototypePath, pending.page, /*failIfExists=*/true);
    run.pendingNewPage.reset();
    // The roll-over's note for taking the entry back sees the page it made.
    for (RollOverNote& note : run.rollOvers) {
        if (note.page == pending.pageStored) note.pageAfter = StampOfFile(pending.page);
    }
    return copied;
}

PageWrite InsertIntoDiaryPage(const ActiveConfig& config, RunState& run, std::string_view entryText,
                              Host& host) {
    const bool pending = run.pendingNewPage && run.pendingNewPage->pageStored == config.diaryPage;
    if (pending && WritePrototypeWithEntry(run.pendingNewPage->prototypePath, entryText,
                                           run.pendingNewPage->page, WriteTarget::CreateNew)) {
        run.pendingNewPage.reset();
        return PageWrite::MadeFromPrototype;
    }
    // Otherwise the page is made as a copy of the prototype first; one that
    // cannot be made takes no entry.
    const FileStatus made = MakePendingNewPage(run);
    const auto& page = config.native.diaryPage;
    if (pending && !(page && FileExists(*page))) {
        TellNewPageNotMade(config, made ? SystemProblem(config.diaryPage, ENOENT) : made.problem(),
                           host);
        return PageWrite::Failed;
    }
    return InsertEntryText(config.diaryPage, page, entryText, host) ? PageWrite::Inserted
                                                                    : PageWrite::Failed;
}

FileStatus WriteCurrentCopy(const ActiveConfig& config, const NativePath& copyPath,
                            std::string_view entryText, PageWrite page, Host& host) {
    // The whole page, or a page that is itself the prototype with this entry
    // alone: the copy holds the page's bytes and is streamed from it.
    if (config.alwaysOne != 1 || page == PageWrite::MadeFromPrototype) {
        if (!config.native.diaryPage) return config.native.diaryPage.problem();
        return ReplaceWithCopyOf(*config.native.diaryPage, copyPath);
    }
    const auto& prototype = config.native.prototypePath;
    if (!prototype) return prototype.problem();
    if (WritePrototypeWithEntry(*prototype, entryText, copyPath, WriteTarget::Replace)) return {};
    FileStatus copied = CopyFileTo(*prototype, copyPath, /*failIfExists=*/false);
    if (copied) InsertEntryText(CurrentCopyPath(config), copyPath, entryText, host);
    return copied;
}

}  // namespace qm
