#include "engine/diary_page.h"

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "settings/profile.h"

namespace qm {

namespace {

std::string_view NewPageSentence(int splitMode) {
    switch (splitMode) {
        case 1:
            return msg::kNewMonthText;
        case 2:
            return msg::kNewWeekText;
        default:
            return msg::kNewHalfText;
    }
}

// Creates the page of a new period from the prototype, tells the user and
// links it from the log page. A prototype that cannot be copied leaves no
// page; the insertion that follows reports that.
void StartNewPage(ActiveConfig& config, RunState& run, int splitMode, Host& host) {
    host.ShowMessage(config.diaryPage + Sjis(NewPageSentence(splitMode)),
                     Sjis(msg::kNewPageCaption));
    CopyFileTo(config.prototypePath, config.diaryPage, /*failIfExists=*/true);
    if (!config.logPath.empty()) UpdateLogPage(config, run, host);
}

}  // namespace

bool IsRolloverMode(int splitMode) { return splitMode >= 1 && splitMode <= 3; }

std::string DiaryPageName(int splitMode, const ActiveConfig& config, const std::tm& time) {
    if (!IsRolloverMode(splitMode)) return config.prototypePath;
    std::string name = config.diaryFolder + "diary" + FormatTime("%y-%b", time);
    switch (splitMode) {
        case 1:
            break;
        case 2:
            name += FormatTime("-%U", time);
            break;
        default:
            // Day 15 begins the second half.
            name += time.tm_mday / 15 == 0 ? "-first" : "-second";
            break;
    }
    return name + ".html";
}

bool SelectDiaryPage(ActiveConfig& config, RunState& run, int splitMode, Host& host) {
    for (;;) {
        const std::tm now = ReadLocalClock();
        config.diaryPage = DiaryPageName(splitMode, config, now);
        // Recorded for other tools; a failed write changes nothing here.
        WriteProfileString(config.configIniPath, setkeys::kSection, setkeys::kQuill,
                           config.diaryPage);

        if (FileExists(config.diaryPage)) return true;
        if (IsRolloverMode(splitMode)) {
            StartNewPage(config, run, splitMode, host);
            return true;
        }

        // Editing the prototype itself, and it is missing: ask until it is mended.
        host.ShowMessage(Sjis(msg::kPrototypeText), Sjis(msg::kPrototypeCaption));
        if (!host.OpenPathSettings(config)) return false;
        splitMode = config.splitMode;
    }
}

}  // namespace qm
