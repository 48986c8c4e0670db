// Where a generate writes its entry, each file once: the diary page (made
// from the prototype with the entry already in it when a new period begins)
// and the current copy (streamed from the page when their bytes are the same).
// Whenever the one pass cannot be made, the files are written in the steps
// they have always taken, with the same messages and the same results.
#pragma once

#include <string_view>

#include "engine/diary_page.h"
#include "platform/file_result.h"
#include "settings/active_config.h"

namespace qm {

class Host;

// Makes the page left pending as the plain copy of the prototype it stands
// for (a copy that fails is not reported); nothing when none is pending.
// The copy's result is for a caller that needs the page now.
FileStatus MakePendingNewPage(RunState& run);

enum class PageWrite {
    Failed,             // the entry is not in the page (a message was shown)
    Inserted,           // the entry went into the page
    MadeFromPrototype,  // the page is new: the prototype with this entry alone
};

// Inserts the entry into config.diaryPage. A page pending from the selection
// is written in the same pass, from the prototype with the entry in place.
PageWrite InsertIntoDiaryPage(const ActiveConfig& config, RunState& run, std::string_view entryText,
                              Host& host);

// Writes the current copy at `copyPath`: the prototype with the newest entry
// alone when config.alwaysOne is 1, otherwise the whole diary page. `page`
// tells how the diary page was just written. Done when a copy was written;
// a failed insertion into it shows its message but still counts as a copy.
FileStatus WriteCurrentCopy(const ActiveConfig& config, const NativePath& copyPath,
                            std::string_view entryText, PageWrite page, Host& host);

}  // namespace qm
