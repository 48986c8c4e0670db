// Which page receives entries now, rolling over to a new page by month,
// week or half month, and the log page that links every new page.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/take_back.h"
#include "engine/web_images.h"
#include "platform/file_result.h"
#include "settings/active_config.h"

namespace qm {

class Host;

// A new period's page that a generate makes together with its first entry,
// so that the prototype is read and the page written only once.
struct PendingNewPage {
    NativePath prototypePath;
    NativePath page;
    std::string pageStored;  // as config.diaryPage names it
};

// Values of the whole run that outlive any dialog.
struct RunState {
    int currentSetIndex = 0;
    std::vector<std::string> imageUploadList;  // full paths of the images chosen, in order
    std::vector<WebImage> webImages;           // their copies, as far as prepared yet
    bool logUpdated = false;
    std::vector<RollOverNote> rollOvers;  // this run's, for taking the last entry back
    std::optional<PendingNewPage> pendingNewPage;
};

// The page name for `mode` on `time` in config.diaryFolder; the prototype
// path itself when the mode does not roll over.
std::string DiaryPageName(SplitMode mode, const ActiveConfig& config, const std::tm& time);

// The file system's name of `page`, which DiaryPageName gave for
// config.splitMode, from the names converted with the set: a new period's
// page is a name of ASCII letters in the diary folder.
FileResult<NativePath> NativeDiaryPage(const ActiveConfig& config, std::string_view page);

// True for a file name that DiaryPageName gives in a mode that rolls over.
bool IsDiaryPageName(std::string_view fileName);

// The page that would receive an entry now in `mode`, in the prototype's
// folder; nothing is written or created (the path settings show it).
std::string TodaysDiaryPage(const ActiveConfig& config, SplitMode mode);

// Records config.diaryPage under FILEPATH/QUILL for other tools; false when
// the set's file could not be written.
[[nodiscard]] bool RecordDiaryPage(const ActiveConfig& config);

// The message for a settings file that could not be written, naming it.
void ReportSettingsNotWritten(std::string_view iniPath, Host& host);

// Tells the user that the new period's page could not be made from the
// prototype, with the file's problem; false, for the caller to return.
bool TellNewPageNotMade(const ActiveConfig& config, const FileProblem& problem, Host& host);

// When a new period's page is made: at once, or in a generate together with
// its first entry, left pending for the insertion (engine/page_writes.h).
enum class NewPageWrite { Now, WithEntry };

enum class PageSelection {
    Ready,          // config.diaryPage names an existing page
    NoNewPage,      // a new period's page could not be made; said so, nothing written
    NeedsSettings,  // the prototype is missing and the host has no dialog to mend it
};

// Names today's page for config.splitMode, records it and, when a new period
// has begun, creates the page from the prototype, tells the user and adds a
// log link. With a page that does not roll over and a missing prototype it
// asks for the path settings until the prototype exists or another mode is
// chosen.
PageSelection SelectDiaryPage(ActiveConfig& config, RunState& run, Host& host,
                              NewPageWrite newPage = NewPageWrite::Now);

// Adds a link to the new diary page below the log marker of the log page,
// unless the log page links that page already (a run stopped before the page
// was made); sets run.logUpdated when the log page holds the link.
void UpdateLogPage(const ActiveConfig& config, RunState& run, Host& host);

// When the page exists but the log page (readable, with its marker) does not
// link it, as after a roll-over whose log rewrite failed: adds the link and
// says so, or says that the next run tries again.
void RepairLogLink(const ActiveConfig& config, RunState& run, Host& host);

// The link text that UpdateLogPage puts in place of the marker: the marker,
// CR LF, and a link to the page's file name titled with `titleFormat`
// expanded by the log title tokens.
std::string LogLinkText(std::string_view diaryPage, std::string_view titleFormat,
                        const std::tm& time);

}  // namespace qm
