#include "engine/diary_page.h"

#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "engine/page_writes.h"
#include "engine/split_mode.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "settings/profile.h"

namespace qm {

namespace {

std::string_view NewPageSentence(SplitMode mode) {
    switch (mode) {
        case SplitMode::Monthly:
            return msg::kNewMonthText;
        case SplitMode::Weekly:
            return msg::kNewWeekText;
        default:
            return msg::kNewHalfText;
    }
}

// Creates the page of a new period from the prototype, tells the user and
// links it from the log page. A prototype that cannot be copied leaves no
// page; the insertion that follows reports that.
void StartNewPage(ActiveConfig& config, RunState& run, Host& host) {
    host.ShowMessage(config.diaryPage + Sjis(NewPageSentence(config.splitMode)),
                     Sjis(msg::kNewPageCaption));
    if (run.deferNewPage) {
        run.pendingNewPage = PendingNewPage{config.prototypePath, config.diaryPage};
    } else {
        CopyFileTo(config.prototypePath, config.diaryPage, /*failIfExists=*/true);
    }
    if (!config.logPath.empty()) UpdateLogPage(config, run, host);
}

}  // namespace

std::string DiaryPageName(SplitMode mode, const ActiveConfig& config, const std::tm& time) {
    if (!RollsOver(mode)) return config.prototypePath;
    std::string name = config.diaryFolder + "diary" + FormatTime("%y-%b", time);
    switch (mode) {
        case SplitMode::Weekly:
            name += FormatTime("-%U", time);
            break;
        case SplitMode::HalfMonthly:
            name += IsSecondHalfOfMonth(time) ? "-second" : "-first";
            break;
        default:
            break;
    }
    return name + ".html";
}

std::string TodaysDiaryPage(const ActiveConfig& config, SplitMode mode) {
    ActiveConfig named = config;
    named.diaryFolder = DiaryFolderFor(config.prototypePath, config.programDir);
    return DiaryPageName(mode, named, ReadLocalClock());
}

bool RecordDiaryPage(const ActiveConfig& config) {
    return WriteProfileString(config.configIniPath, setkeys::kSection, setkeys::kQuill,
                              config.diaryPage);
}

void ReportSettingsNotWritten(std::string_view iniPath, Host& host) {
    host.ShowMessage(std::string(iniPath) + Sjis(msg::kSettingsNotWrittenText),
                     Sjis(msg::kSettingsNotWrittenCaption));
}

bool SelectDiaryPage(ActiveConfig& config, RunState& run, Host& host) {
    for (;;) {
        // A page still pending from an earlier pass is made first, so it is found.
        MakePendingNewPage(run);
        config.diaryPage = DiaryPageName(config.splitMode, config, ReadLocalClock());
        // Only other tools read the key: the selection goes on without it.
        if (!RecordDiaryPage(config)) ReportSettingsNotWritten(config.configIniPath, host);

        if (FileExists(config.diaryPage)) return true;
        if (RollsOver(config.splitMode)) {
            NoteBeforeRollOver(config, run);
            StartNewPage(config, run, host);
            NoteAfterRollOver(config, run);
            return true;
        }

        // Editing the prototype itself, and it is missing: ask until it is mended.
        host.ShowMessage(Sjis(msg::kPrototypeText), Sjis(msg::kPrototypeCaption));
        if (!host.OpenPathSettings(config)) return false;
    }
}

}  // namespace qm
