// Which page receives entries now, rolling over to a new page by month,
// week or half month, and the log page that links every new page.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace qm {

struct ActiveConfig;
class Host;

// Values of the whole run that outlive any dialog.
struct RunState {
    int currentSetIndex = 0;
    std::string imageUploadList;  // full paths joined by quote, space, quote
    bool logUpdated = false;
};

// True for the modes that roll over to new pages (1 monthly, 2 weekly, 3 half
// monthly); every other value keeps editing the prototype page itself.
bool IsRolloverMode(int splitMode);

// The page name for `splitMode` on `time` in config.diaryFolder; the prototype
// path itself for mode 0 and any value other than 1 to 3.
std::string DiaryPageName(int splitMode, const ActiveConfig& config, const std::tm& time);

// Names today's page, records it under FILEPATH/QUILL and, when a new period
// has begun, creates the page from the prototype, tells the user and adds a
// log link. In mode 0 with a missing prototype it asks for the path settings
// until the prototype exists or another mode is chosen. Returns false only
// when the settings were needed and the host has no dialog for them.
bool SelectDiaryPage(ActiveConfig& config, RunState& run, int splitMode, Host& host);

// Adds a link to the new diary page below the log marker of the log page;
// sets run.logUpdated only when the log page was really rewritten.
void UpdateLogPage(const ActiveConfig& config, RunState& run, Host& host);

// The link text that UpdateLogPage puts in place of the marker: the marker,
// CR LF, and a link to the page's file name titled with `titleFormat`
// expanded by the log title tokens.
std::string LogLinkText(std::string_view diaryPage, std::string_view titleFormat,
                        const std::tm& time);

}  // namespace qm
