#include <cerrno>
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

namespace {

// How the link to `diaryPage` begins: a relative link, as the log page lives
// beside the diary pages.
std::string LinkOpening(std::string_view diaryPage) {
    return "<a href =" + FileNamePart(diaryPage) + ">";
}

}  // namespace

std::string LogLinkText(std::string_view diaryPage, std::string_view titleFormat,
                        const std::tm& time) {
    std::string link = Sjis(msg::kLogMarker);
    link += "\r\n";
    link += LinkOpening(diaryPage);
    link += ExpandTokens(titleFormat, TokenSet::LogTitle, time, nullptr, nullptr);
    link += "</a><BR>";
    return link;
}

void UpdateLogPage(const ActiveConfig& config, RunState& run, Host& host) {
    if (!RollsOver(config.splitMode) || config.diaryPage.empty()) return;

    const std::tm now = ReadLocalClock();
    const std::string link = LogLinkText(config.diaryPage, config.logTitle, now);

    const auto cannotOpen = [&host](const FileProblem& problem) {
        host.ShowMessage(SjisWithFileProblem(msg::kLogOpenText, problem),
                         Sjis(msg::kLogOpenCaption));
    };
    const auto cannotRead = [&](const LockedFile& logFile) {
        cannotOpen(SystemProblem(logFile.path().str(), errno));
    };

    // The log page is the user's own: it is never created here.
    const auto& logPath = config.native.logPath;
    if (!logPath) return cannotOpen(logPath.problem());
    MakeOwnerWritable(*logPath);
    auto logFile = LockedFile::Open(*logPath, LockedFile::Mode::OpenExisting);
    if (!logFile) return cannotOpen(logFile.problem());
    // Read piece by piece, as the diary pages are: first for a link to this
    // page, then for the marker.
    const auto linked = FindMarkerInText(logFile->descriptor(), LinkOpening(config.diaryPage));
    if (!linked) return cannotRead(*logFile);
    if (linked->found) {
        // Linked by a run that stopped before it made the page; not yet uploaded.
        run.logUpdated = true;
        return;
    }
    const std::string marker = Sjis(msg::kLogMarker);
    const auto at = FindMarkerInText(logFile->descriptor(), marker);
    if (!at) return cannotRead(*logFile);
    if (!at->found) {
        host.ShowMessage(Sjis(msg::kLogNoMarkerText), Sjis(msg::kLogNoMarkerCaption));
        return;
    }
    if (auto written = ReplaceWithInsertion(*logFile, *at, marker.size(), link); !written) {
        return cannotOpen(written.problem());
    }
    run.logUpdated = true;
}

}  // namespace qm
