#include <string>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "engine/split_mode.h"
#include "engine/tokens.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/stream_replace.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

std::string LogLinkText(std::string_view diaryPage, std::string_view titleFormat,
                        const std::tm& time) {
    // A relative link: the log page lives beside the diary pages.
    std::string link = Sjis(msg::kLogMarker);
    link += "\r\n<a href =";
    link += FileNamePart(diaryPage);
    link += ">";
    link += ExpandTokens(titleFormat, TokenSet::LogTitle, time, nullptr, nullptr);
    link += "</a><BR>";
    return link;
}

void UpdateLogPage(const ActiveConfig& config, RunState& run, Host& host) {
    if (!RollsOver(config.splitMode) || config.diaryPage.empty()) return;

    const std::tm now = ReadLocalClock();
    const std::string title = ReadKey(config.systemIniPath, syskeys::kLogTitle);
    const std::string link = LogLinkText(config.diaryPage, title, now);

    const auto cannotOpen = [&host] {
        host.ShowMessage(SjisWithFileProblem(msg::kLogOpenText), Sjis(msg::kLogOpenCaption));
    };

    // The log page is the user's own: it is never created here.
    MakeOwnerWritable(config.logPath);
    auto logFile = LockedFile::Open(config.logPath, LockedFile::Mode::OpenExisting);
    if (!logFile) return cannotOpen();
    const std::string marker = Sjis(msg::kLogMarker);
    const auto at = FindMarkerInText(logFile->descriptor(), marker);
    if (!at) return cannotOpen();
    if (!at->found) {
        host.ShowMessage(Sjis(msg::kLogNoMarkerText), Sjis(msg::kLogNoMarkerCaption));
        return;
    }
    if (!ReplaceWithInsertion(*logFile, *at, marker.size(), link)) return cannotOpen();
    run.logUpdated = true;
}

}  // namespace qm
