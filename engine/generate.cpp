#include "engine/generate.h"

#include <cerrno>
#include <string>

#include "engine/current_copy.h"
#include "engine/host.h"
#include "engine/leftovers.h"
#include "engine/messages.h"
#include "engine/page_writes.h"
#include "engine/program_arguments.h"
#include "engine/program_folder_lock.h"
#include "engine/set_files.h"
#include "engine/split_mode.h"
#include "engine/take_back.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/pinned_profile.h"

namespace qm {

namespace {

// The rest of LoadPaths once the set's keys are read: today's page, and the
// path settings when the prototype or template path is empty.
PageSelection SelectPageAskingForPaths(ActiveConfig& config, RunState& run, Host& host) {
    const PageSelection selected = SelectDiaryPage(config, run, host);
    if (selected == PageSelection::NeedsSettings) return selected;

    if (config.prototypePath.empty() || config.templatePath.empty()) {
        MakePendingNewPage(run);  // the dialog sees the files as they are
        if (!host.OpenPathSettings(config)) {
            host.ShowMessage(Sjis(msg::kPathsEmptyText), Sjis(msg::kSettingsCaption));
            return PageSelection::NeedsSettings;
        }
        return SelectDiaryPage(config, run, host);
    }
    return selected;
}

// A set that cannot be read leaves nothing of another set behind.
void ClearSetPaths(ActiveConfig& config) {
    ActiveConfig cleared;
    cleared.programDir = config.programDir;
    cleared.systemIniPath = config.systemIniPath;
    cleared.upFlag = config.upFlag;
    config = cleared;
}

}  // namespace

void InitConfig(ActiveConfig& config, const std::string& programDirCp932) {
    config = ActiveConfig{};
    config.programDir = programDirCp932;
    if (!config.programDir.empty() &&
        AfterLastSeparator(config.programDir) != config.programDir.size()) {
        config.programDir += '/';
    }
    config.systemIniPath = config.programDir + std::string(kSystemIniName);
}

bool SystemSettingsReadable(const ActiveConfig& config, Host& host) {
    if (ReadFileBytes(config.systemIniPath) || LastFileProblem().code == ENOENT) return true;
    host.ShowMessage(SjisWithFileProblem(msg::kSettingsUnreadableText),
                     Sjis(msg::kSettingsUnreadableCaption));
    return false;
}

bool LoadConfiguration(ActiveConfig& config, RunState& run, SystemState& state, Host& host) {
    const std::string& ini = config.systemIniPath;
    state.setNames.clear();
    // A file that is there but cannot be read is not a list without sets.
    if (!SystemSettingsReadable(config, host)) return false;
    config.upFlag = ReadKey(ini, syskeys::kUp);
    run.currentSetIndex = ReadKey(ini, syskeys::kCurrent);
    state.windowWidth = ReadKey(ini, syskeys::kWidth);
    state.windowHeight = ReadKey(ini, syskeys::kHeight);

    // Nothing can go on without a set: the manager comes back until one exists.
    int count = CountListEntries(ini, syskeys::kSetListSection);
    while (count == 0) {
        if (!host.OpenSetManager(config)) {
            host.ShowMessage(Sjis(msg::kNoSetText), Sjis(msg::kSettingsCaption));
            return false;
        }
        count = CountListEntries(ini, syskeys::kSetListSection);
    }
    state.setNames =
        ReadListEntries(ini, syskeys::kSetListSection, count, syskeys::kSetNameCapacity);
    if (run.currentSetIndex < 0 || run.currentSetIndex >= count) run.currentSetIndex = 0;
    // The page is chosen (and perhaps made) only while no other run writes.
    const auto lock = LockProgramFolder(config, host);
    // A set that cannot be used stays in the list, said so; the window stays
    // open so another set can be chosen.
    if (!lock || !ReadSetPaths(config, run.currentSetIndex, host)) return true;
    std::optional<FileLock> diaryLock;
    if (!LockDiaryFolder(config, host, diaryLock)) return true;
    return SelectPageAskingForPaths(config, run, host) != PageSelection::NeedsSettings;
}

std::string SetIniPathOf(const ActiveConfig& config, int setIndex) {
    const std::string setName = ReadListEntry(config.systemIniPath, syskeys::kSetListSection,
                                              setIndex, syskeys::kSetNameCapacity);
    return SetIniPath(config.programDir, setName);
}

bool ReadSetPaths(ActiveConfig& config, int setIndex, Host& host) {
    const std::string setName = ReadListEntry(config.systemIniPath, syskeys::kSetListSection,
                                              setIndex, syskeys::kSetNameCapacity);
    if (!SetFilesUsable(config, setName, host)) {
        ClearSetPaths(config);
        return false;
    }
    config.configIniPath = SetIniPath(config.programDir, setName);

    const std::string& ini = config.configIniPath;
    config.logPath = ReadKey(ini, setkeys::kLog);
    config.uploaderPath = ReadKey(ini, setkeys::kFtp);
    config.prototypePath = ReadKey(ini, setkeys::kOriginal);
    config.templatePath = ReadKey(ini, setkeys::kTemplet);
    config.currentName = ReadKey(ini, setkeys::kCurrentName);
    config.diaryFolder = DiaryFolderFor(config.prototypePath, config.programDir);
    config.splitMode = SplitModeFromStored(ReadKey(ini, setkeys::kEdit));
    config.makeCurrentCopy = ReadKey(ini, setkeys::kCurrent);
    config.alwaysOne = ReadKey(ini, setkeys::kAlways1);
    return true;
}

bool LoadPaths(ActiveConfig& config, RunState& run, Host& host) {
    return ReadSetPaths(config, run.currentSetIndex, host) &&
           SelectPageAskingForPaths(config, run, host) == PageSelection::Ready;
}

std::string CurrentCopyPath(const ActiveConfig& config) {
    return config.diaryFolder + config.currentName;
}

std::string UploadParameters(const ActiveConfig& config, const RunState& run,
                             bool currentCopyMade) {
    // Appended piece by piece: GCC 12 takes " " + a temporary string for an
    // overlapping copy (a false -Wrestrict at -O2 and up).
    std::string text = QuoteArgument(config.diaryPage);
    if (run.logUpdated) text.append(" ").append(QuoteArgument(config.logPath));
    // The list holds each image as a quoted argument already.
    if (!run.imageUploadList.empty()) text.append(" ").append(run.imageUploadList);
    if (currentCopyMade) text.append(" ").append(QuoteArgument(CurrentCopyPath(config)));
    return text;
}

GenerateResult GenerateCommand(ActiveConfig& config, RunState& run, const EntryInput& input,
                               Host& host) {
    // Held to the end: another run waits, then gives up writing nothing.
    const auto lock = LockProgramFolder(config, host);
    if (!lock) return GenerateResult::Failed;
    // Each settings file is read once, so a read that fails midway cannot
    // send the entry elsewhere by turning single keys into their defaults.
    const auto unreadable = [&host] {
        host.ShowMessage(SjisWithFileProblem(msg::kSettingsUnreadableText),
                         Sjis(msg::kSettingsUnreadableCaption));
        return GenerateResult::Failed;
    };
    const PinnedProfile systemIni(config.systemIniPath);
    if (!systemIni.readable()) return unreadable();
    const PinnedProfile setIni(SetIniPathOf(config, run.currentSetIndex));
    if (!setIni.readable()) return unreadable();
    if (!ReadSetPaths(config, run.currentSetIndex, host)) return GenerateResult::Failed;
    // Held from choosing the page to the last write, as the program folder's.
    std::optional<FileLock> diaryLock;
    if (!LockDiaryFolder(config, host, diaryLock)) return GenerateResult::Failed;
    // A new period's page is written once, with the entry already in it.
    run.deferNewPage = true;
    const bool loaded = SelectPageAskingForPaths(config, run, host) == PageSelection::Ready;
    run.deferNewPage = false;
    // The path settings may have named another folder: it is held as well.
    std::optional<FileLock> chosenDiaryLock;
    if (!loaded || !LockDiaryFolder(config, host, chosenDiaryLock)) {
        MakePendingNewPage(run);  // the new page stays, as a copy of the prototype
        return GenerateResult::Failed;
    }
    // Under the lock no other run writes: what is left is a killed run's.
    RemoveLeftoverTemporaries(config);
    const auto entry = ComposeEntry(config, input, run.imageUploadList, host);
    if (!entry) {
        MakePendingNewPage(run);
        return GenerateResult::Failed;
    }
    const EntryBefore before = NoteBeforeEntry(config, run);
    const PageWrite page = InsertIntoDiaryPage(config, run, *entry, host);
    if (page == PageWrite::Failed) return GenerateResult::Failed;

    const bool currentCopyMade = config.makeCurrentCopy != 0 && RollsOver(config.splitMode) &&
                                 RefreshCurrentCopy(config, *entry, page, host);
    // Without a record the entry cannot be taken back later, but it is written.
    KeepForTakeBack(config, before, host);

    if (input.upload) {
        const StartResult started =
            host.StartProgram(config.uploaderPath, UploadParameters(config, run, currentCopyMade));
        if (started == StartResult::NotFound) {
            host.ShowMessage(config.uploaderPath + Sjis(msg::kNotFoundSuffix),
                             Sjis(msg::kNotFoundCaption));
            return GenerateResult::WrittenNoUploader;
        }
    }
    return GenerateResult::Written;
}

}  // namespace qm
