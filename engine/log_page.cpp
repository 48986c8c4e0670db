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

namespace {

enum class LinkOutcome { Added, LinkedAlready, CannotOpen, NoMarker };

struct LinkResult {
    LinkOutcome outcome;
    FileProblem problem;  // for CannotOpen: the log page could not be read or written
};

// Adds the link to config.diaryPage below the log marker unless the log page
// has it already.
LinkResult AddLogLink(const ActiveConfig& config, RunState& run) {
    const std::string link = LogLinkText(config.diaryPage, config.logTitle, ReadLocalClock());
    // The log page is the user's own: it is never created here.
    const auto& logPath = config.native.logPath;
    if (!logPath) return {LinkOutcome::CannotOpen, logPath.problem()};
    MakeOwnerWritable(*logPath);
    auto logFile = LockedFile::Open(*logPath, LockedFile::Mode::OpenExisting);
    if (!logFile) return {LinkOutcome::CannotOpen, logFile.problem()};
    const auto cannotRead = [&logFile] {
        return LinkResult{LinkOutcome::CannotOpen, SystemProblem(logFile->path().str(), errno)};
    };
    // Read piece by piece, as the diary pages are: first for a link to this
    // page, then for the marker.
    const auto linked = FindMarkerInText(logFile->descriptor(), LinkOpening(config.diaryPage));
    if (!linked) return cannotRead();
    if (linked->found) {
        // Linked by a run that stopped before it made the page; not yet uploaded.
        run.logUpdated = true;
        return {LinkOutcome::LinkedAlready, {}};
    }
    const std::string marker = Sjis(msg::kLogMarker);
    const auto at = FindMarkerInText(logFile->descriptor(), marker);
    if (!at) return cannotRead();
    if (!at->found) return {LinkOutcome::NoMarker, {}};
    if (auto written = ReplaceWithInsertion(*logFile, *at, marker.size(), link); !written) {
        return {LinkOutcome::CannotOpen, written.problem()};
    }
    run.logUpdated = true;
    return {LinkOutcome::Added, {}};
}

// Whether the log page can be read and lacks a link to config.diaryPage;
// looked at without changing anything, not even the page's mode.
bool LogPageLacksLink(const ActiveConfig& config) {
    if (!config.native.logPath) return false;
    const auto logFile = ReadOnlyFile::Open(*config.native.logPath);
    if (!logFile) return false;
    const auto linked = FindMarkerInText(logFile->descriptor(), LinkOpening(config.diaryPage));
    const auto marker = FindMarkerInText(logFile->descriptor(), Sjis(msg::kLogMarker));
    return linked && !linked->found && marker && marker->found;
}

void TellLinkNotAdded(const FileProblem& problem, Host& host) {
    host.ShowMessage(
        SjisWithFileProblem(msg::kLogOpenText, problem) + "\r\n" + Sjis(msg::kLogLinkLaterText),
        Sjis(msg::kLogOpenCaption));
}

}  // namespace

void UpdateLogPage(const ActiveConfig& config, RunState& run, Host& host) {
    if (!RollsOver(config.splitMode) || config.diaryPage.empty()) return;
    const LinkResult result = AddLogLink(config, run);
    switch (result.outcome) {
        case LinkOutcome::CannotOpen:
            return TellLinkNotAdded(result.problem, host);
        case LinkOutcome::NoMarker:
            return host.ShowMessage(Sjis(msg::kLogNoMarkerText), Sjis(msg::kLogNoMarkerCaption));
        case LinkOutcome::Added:
        case LinkOutcome::LinkedAlready:
            return;
    }
}

void RepairLogLink(const ActiveConfig& config, RunState& run, Host& host) {
    if (!RollsOver(config.splitMode) || config.diaryPage.empty() || config.logPath.empty() ||
        !LogPageLacksLink(config))
        return;
    const LinkResult result = AddLogLink(config, run);
    switch (result.outcome) {
        case LinkOutcome::Added:
            return host.ShowMessage(config.diaryPage + Sjis(msg::kLogLinkRepairedText),
                                    Sjis(msg::kLogLinkRepairedCaption));
        case LinkOutcome::CannotOpen:
            return TellLinkNotAdded(result.problem, host);
        case LinkOutcome::NoMarker:
        case LinkOutcome::LinkedAlready:
            return;
    }
}

}  // namespace qm
