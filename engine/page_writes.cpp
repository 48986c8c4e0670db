#include "engine/page_writes.h"

#include <cerrno>
#include <string>

#include "engine/entry.h"
#include "engine/messages.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/stream_replace.h"

namespace qm {

namespace {

// The prototype's text with the entry in place of its marker, written to
// `target` in one pass. False, with nothing written, when there is no
// prototype, no marker or no entry, or the write fails.
bool WritePrototypeWithEntry(std::string_view prototypePath, std::string_view entryText,
                             std::string_view target, WriteTarget how) {
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
    const std::string page = run.pendingNewPage->page;
    FileStatus copied = CopyFileTo(run.pendingNewPage->prototypePath, page, /*failIfExists=*/true);
    run.pendingNewPage.reset();
    // The roll-over's note for taking the entry back sees the page it made.
    for (RollOverNote& note : run.rollOvers) {
        if (note.page == page) note.pageAfter = StampOfFile(page);
    }
    return copied;
}

PageWrite InsertIntoDiaryPage(const ActiveConfig& config, RunState& run, std::string_view entryText,
                              Host& host) {
    if (run.pendingNewPage && run.pendingNewPage->page == config.diaryPage &&
        WritePrototypeWithEntry(run.pendingNewPage->prototypePath, entryText, config.diaryPage,
                                WriteTarget::CreateNew)) {
        run.pendingNewPage.reset();
        return PageWrite::MadeFromPrototype;
    }
    // Otherwise the page is made as a copy of the prototype first; one that
    // cannot be made takes no entry.
    const bool pending = run.pendingNewPage && run.pendingNewPage->page == config.diaryPage;
    const FileStatus made = MakePendingNewPage(run);
    if (pending && !FileExists(config.diaryPage)) {
        TellNewPageNotMade(config, made ? SystemProblem(config.diaryPage, ENOENT) : made.problem(),
                           host);
        return PageWrite::Failed;
    }
    return InsertEntryText(config.diaryPage, entryText, host) ? PageWrite::Inserted
                                                              : PageWrite::Failed;
}

FileStatus WriteCurrentCopy(const ActiveConfig& config, std::string_view copyPath,
                            std::string_view entryText, PageWrite page, Host& host) {
    // The whole page, or a page that is itself the prototype with this entry
    // alone: the copy holds the page's bytes and is streamed from it.
    if (config.alwaysOne != 1 || page == PageWrite::MadeFromPrototype) {
        return ReplaceWithCopyOf(config.diaryPage, copyPath);
    }
    if (WritePrototypeWithEntry(config.prototypePath, entryText, copyPath, WriteTarget::Replace)) {
        return {};
    }
    FileStatus copied = CopyFileTo(config.prototypePath, copyPath, /*failIfExists=*/false);
    if (copied) InsertEntryText(copyPath, entryText, host);
    return copied;
}

}  // namespace qm
