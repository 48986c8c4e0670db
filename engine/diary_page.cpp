#include "engine/diary_page.h"

#include <cctype>
#include <string>

#include "engine/host.h"
#include "engine/messages.h"
#include "engine/page_writes.h"
#include "engine/split_mode.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/stream_replace.h"
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
// links it from the log page. The link goes in before the page appears, so a
// run stopped at any moment leaves either no page or a linked one; the next
// run makes the page and finds the link already there. A prototype that
// cannot be read makes no page, no link and no entry. In a generate the page
// is left pending: the insertion makes it with the entry already in it.
bool StartNewPage(ActiveConfig& config, RunState& run, Host& host, NewPageWrite newPage) {
    // Opened, not read: the page's one read of the prototype comes when it is made.
    const auto& prototypePath = config.native.prototypePath;
    const auto& page = config.native.diaryPage;
    if (!prototypePath) return TellNewPageNotMade(config, prototypePath.problem(), host);
    if (!page) return TellNewPageNotMade(config, page.problem(), host);
    auto prototype = ReadOnlyFile::Open(*prototypePath);
    if (!prototype) return TellNewPageNotMade(config, prototype.problem(), host);
    host.ShowMessage(config.diaryPage + Sjis(NewPageSentence(config.splitMode)),
                     Sjis(msg::kNewPageCaption));
    if (!config.logPath.empty()) UpdateLogPage(config, run, host);
    if (newPage == NewPageWrite::WithEntry) {
        run.pendingNewPage = PendingNewPage{*prototypePath, *page, config.diaryPage};
        return true;
    }
    // Another run may have made the page meanwhile; it is never overwritten.
    const FileStatus copied = CopyFileTo(*prototypePath, *page, true);
    if (copied || FileExists(*page)) return true;
    return TellNewPageNotMade(config, copied.problem(), host);
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

FileResult<NativePath> NativeDiaryPage(const ActiveConfig& config, std::string_view page) {
    if (!RollsOver(config.splitMode)) return config.native.prototypePath;
    const auto& folder = config.native.diaryFolder;
    if (!folder) return folder.problem();
    return *folder + FileNamePart(page);
}

bool IsDiaryPageName(std::string_view fileName) {
    // "diary" YY "-" Mon, then "-" WW, "-first", "-second" or nothing, ".html".
    static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const auto twoDigits = [](std::string_view text) {
        return text.size() == 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
               std::isdigit(static_cast<unsigned char>(text[1]));
    };
    if (fileName.size() < 16 || fileName.substr(0, 5) != "diary" ||
        fileName.substr(fileName.size() - 5) != ".html")
        return false;
    const std::string_view month = fileName.substr(8, 3);
    const std::string_view rest = fileName.substr(11, fileName.size() - 16);
    return twoDigits(fileName.substr(5, 2)) && fileName[7] == '-' && kMonths.find(month) % 3 == 0 &&
           kMonths.find(month) != std::string_view::npos &&
           (rest.empty() || rest == "-first" || rest == "-second" ||
            (rest.size() == 3 && rest[0] == '-' && twoDigits(rest.substr(1))));
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

bool TellNewPageNotMade(const ActiveConfig& config, const FileProblem& problem, Host& host) {
    host.ShowMessage(config.prototypePath + " -> " + config.diaryPage +
                         SjisWithFileProblem(msg::kRollOverFailedText, problem),
                     Sjis(msg::kRollOverFailedCaption));
    return false;
}

void ReportSettingsNotWritten(std::string_view iniPath, Host& host) {
    host.ShowMessage(std::string(iniPath) + Sjis(msg::kSettingsNotWrittenText),
                     Sjis(msg::kSettingsNotWrittenCaption));
}

PageSelection SelectDiaryPage(ActiveConfig& config, RunState& run, Host& host,
                              NewPageWrite newPage) {
    for (;;) {
        // A page still pending from an earlier pass is made first, so it is found.
        MakePendingNewPage(run);
        config.diaryPage = DiaryPageName(config.splitMode, config, ReadLocalClock());
        config.native.diaryPage = NativeDiaryPage(config, config.diaryPage);
        const auto record = [&] {
            // Only other tools read the key: the selection goes on without it.
            if (!RecordDiaryPage(config)) ReportSettingsNotWritten(config.configIniPath, host);
        };
        if (config.native.diaryPage && FileExists(*config.native.diaryPage)) {
            record();
            RepairLogLink(config, run, host);
            return PageSelection::Ready;
        }
        if (RollsOver(config.splitMode)) {
            NoteBeforeRollOver(config, run);
            const bool made = StartNewPage(config, run, host, newPage);
            NoteAfterRollOver(config, run);
            // A page that could not be made is not recorded either.
            if (!made) return PageSelection::NoNewPage;
            record();
            return PageSelection::Ready;
        }

        // Editing the prototype itself, and it is missing: ask until it is mended.
        record();
        host.ShowMessage(Sjis(msg::kPrototypeText), Sjis(msg::kPrototypeCaption));
        if (!host.OpenPathSettings(config)) return PageSelection::NeedsSettings;
        NoteNativeSetPaths(config);  // as the user typed them
    }
}

}  // namespace qm
