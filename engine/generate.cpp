#include "engine/generate.h"

#include <string>

#include "engine/current_copy.h"
#include "engine/feed.h"
#include "engine/host.h"
#include "engine/last_entry.h"
#include "engine/leftovers.h"
#include "engine/messages.h"
#include "engine/page_writes.h"
#include "engine/program_folder_lock.h"
#include "engine/program_start.h"
#include "engine/set_files.h"
#include "engine/split_mode.h"
#include "engine/take_back.h"
#include "engine/web_images.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/profile.h"

namespace qm {

namespace {

// The rest of LoadPaths once the set's keys are read: today's page, and the
// path settings when the prototype or template path is empty.
PageSelection SelectPageAskingForPaths(ActiveConfig& config, RunState& run, Host& host,
                                       NewPageWrite newPage) {
    const PageSelection selected = SelectDiaryPage(config, run, host, newPage);
    if (selected == PageSelection::NeedsSettings) return selected;

    if (config.prototypePath.empty() || config.templatePath.empty()) {
        MakePendingNewPage(run);  // the dialog sees the files as they are
        if (!host.OpenPathSettings(config)) {
            host.ShowMessage(Sjis(msg::kPathsEmptyText), Sjis(msg::kSettingsCaption));
            return PageSelection::NeedsSettings;
        }
        NoteNativeSetPaths(config);  // as the user typed them
        return SelectDiaryPage(config, run, host, newPage);
    }
    return selected;
}

// A set that cannot be read leaves nothing of another set behind.
void ClearSetPaths(ActiveConfig& config) {
    ActiveConfig cleared;
    cleared.programDir = config.programDir;
    cleared.native.programDir = config.native.programDir;
    cleared.systemIniPath = config.systemIniPath;
    cleared.upFlag = config.upFlag;
    config = cleared;
}

}  // namespace

FeedEntryInput FeedInputFor(const ActiveConfig& config, const EntryInput& input,
                            std::string_view entryText) {
    FeedEntryInput feed;
    feed.titleCp932 = input.title;
    feed.entryCp932 = entryText;
    feed.pageNameCp932 = FileNamePart(config.diaryPage);
    feed.time = ReadLocalClock();
    feed.utcOffsetMinutes = UtcOffsetMinutes(feed.time);
    return feed;
}

void InitConfig(ActiveConfig& config, const std::string& programDirCp932) {
    config = ActiveConfig{};
    config.programDir = programDirCp932;
    if (!config.programDir.empty() &&
        AfterLastSeparator(config.programDir) != config.programDir.size()) {
        config.programDir += '/';
    }
    config.systemIniPath = config.programDir + std::string(kSystemIniName);
    // An empty folder is the working folder.
    config.native.programDir =
        config.programDir.empty() ? NativePath() : NativePathOf(config.programDir);
}

int SetIndexInList(int storedIndex, int setCount) {
    return storedIndex >= 0 && storedIndex < setCount ? storedIndex : 0;
}

bool LoadConfiguration(ActiveConfig& config, RunState& run, SystemState& state, Host& host) {
    state.setNames.clear();
    // A system file that cannot be read gives the defaults for the window;
    // the set is not read from it (and that is said) below.
    const auto systemFile = NativeProgramFile(config, kSystemIniName);
    auto loaded = SettingsFile::Load(config.systemIniPath, systemFile);
    SettingsFile system = loaded ? *loaded : SettingsFile(config.systemIniPath);
    // A file that is there but cannot be read is not a list without sets.
    if (!loaded) {
        TellSettingsUnreadable(loaded.problem(), host);
        return false;
    }
    config.upFlag = ReadKey(system, syskeys::kUp);
    run.currentSetIndex = ReadKey(system, syskeys::kCurrent);
    state.windowWidth = ReadKey(system, syskeys::kWidth);
    state.windowHeight = ReadKey(system, syskeys::kHeight);

    // Nothing can go on without a set: the manager comes back until one exists.
    int count = CountListEntries(system, syskeys::kSetListSection);
    while (count == 0) {
        if (!host.OpenSetManager(config)) {
            host.ShowMessage(Sjis(msg::kNoSetText), Sjis(msg::kSettingsCaption));
            return false;
        }
        loaded = SettingsFile::Load(config.systemIniPath, systemFile);
        system = loaded ? *loaded : SettingsFile(config.systemIniPath);
        count = CountListEntries(system, syskeys::kSetListSection);
    }
    state.setNames =
        ReadListEntries(system, syskeys::kSetListSection, count, syskeys::kSetNameCapacity);
    state.system = system;
    run.currentSetIndex = SetIndexInList(run.currentSetIndex, count);
    // The page is chosen (and perhaps made) only while no other run writes.
    const auto lock = LockProgramFolder(config, host);
    // A set that cannot be used stays in the list, said so; the window stays
    // open so another set can be chosen.
    if (!lock || !ReadSetPaths(config, system, run.currentSetIndex, host)) return true;
    std::optional<FileLock> diaryLock;
    if (!LockDiaryFolder(config, host, diaryLock)) return true;
    return SelectPageAskingForPaths(config, run, host, NewPageWrite::Now) !=
           PageSelection::NeedsSettings;
}

bool ReadSetPaths(ActiveConfig& config, int setIndex, Host& host) {
    const auto system =
        LoadSettingsOrSay(config.systemIniPath, NativeProgramFile(config, kSystemIniName), host);
    if (!system) {
        ClearSetPaths(config);
        return false;
    }
    return ReadSetPaths(config, *system, setIndex, host);
}

bool ReadSetPaths(ActiveConfig& config, const SettingsFile& system, int setIndex, Host& host) {
    const std::string setName =
        ReadListEntry(system, syskeys::kSetListSection, setIndex, syskeys::kSetNameCapacity);
    // The set file's name is converted once, for its check and its read.
    const auto setFile = NativePathOf(SetIniPath(config.programDir, setName));
    const auto set = LoadSetFile(config, setName, setFile, host);
    if (!set) {
        ClearSetPaths(config);
        return false;
    }
    config.configIniPath = set->path();
    config.logTitle = ReadKey(system, syskeys::kLogTitle);

    const SettingsFile& ini = *set;
    config.logPath = ReadKey(ini, setkeys::kLog);
    config.uploaderPath = ReadKey(ini, setkeys::kFtp);
    config.prototypePath = ReadKey(ini, setkeys::kOriginal);
    config.templatePath = ReadKey(ini, setkeys::kTemplet);
    config.currentName = ReadKey(ini, setkeys::kCurrentName);
    config.feed = ReadFeedSettings(ini);
    config.diaryFolder = DiaryFolderFor(config.prototypePath, config.programDir);
    NoteNativeSetPaths(config);
    config.splitMode = SplitModeFromStored(ReadKey(ini, setkeys::kEdit));
    config.makeCurrentCopy = ReadKey(ini, setkeys::kCurrent);
    config.alwaysOne = ReadKey(ini, setkeys::kAlways1);
    config.webCopies = ReadKey(ini, imagekeys::kCopy);
    config.imageLongestSide = ReadKey(ini, imagekeys::kLongestSide);
    config.imageQuality = ReadKey(ini, imagekeys::kQuality);
    return true;
}

bool LoadPaths(ActiveConfig& config, RunState& run, Host& host, NewPageWrite newPage) {
    return ReadSetPaths(config, run.currentSetIndex, host) &&
           SelectPageAskingForPaths(config, run, host, newPage) == PageSelection::Ready;
}

std::string CurrentCopyPath(const ActiveConfig& config) {
    return config.diaryFolder + config.currentName;
}

FeedSettings ReadFeedSettings(const SettingsFile& setFile) {
    FeedSettings feed;
    feed.file = ReadKey(setFile, feedkeys::kFile);
    feed.site = ReadKey(setFile, feedkeys::kSite);
    feed.title = ReadKey(setFile, feedkeys::kTitle);
    feed.count = ReadKey(setFile, feedkeys::kCount);
    // A count out of range is the default rather than a feed of nothing.
    if (feed.count < 1 || feed.count > feedkeys::kMaxCount)
        feed.count = feedkeys::kCount.defaultValue;
    return feed;
}

std::string FeedPath(const ActiveConfig& config) { return config.diaryFolder + config.feed.file; }

std::vector<std::string> UploadArguments(const ActiveConfig& config, const RunState& run,
                                         const std::vector<std::string>& images,
                                         bool currentCopyMade, bool feedWritten) {
    // Every file here was just written or chosen, so its name converts.
    std::vector<std::string> arguments;
    const auto add = [&arguments](const FileResult<NativePath>& path) {
        if (path) arguments.push_back(path->str());
    };
    add(config.native.diaryPage);
    if (run.logUpdated) add(config.native.logPath);
    for (const std::string& image : images) add(NativePathOf(image));
    if (currentCopyMade) add(config.native.currentCopy);
    if (feedWritten) add(config.native.feed);
    return arguments;
}

GenerateResult GenerateCommand(ActiveConfig& config, RunState& run, const EntryInput& input,
                               Host& host) {
    // Held to the end: another run waits, then gives up writing nothing.
    const auto lock = LockProgramFolder(config, host);
    if (!lock) return GenerateResult::Failed;
    // Each settings file is read once, so a read that fails midway cannot
    // send the entry elsewhere by turning single keys into their defaults.
    if (!ReadSetPaths(config, run.currentSetIndex, host)) return GenerateResult::Failed;
    // Held from choosing the page to the last write, as the program folder's.
    std::optional<FileLock> diaryLock;
    if (!LockDiaryFolder(config, host, diaryLock)) return GenerateResult::Failed;
    // A new period's page is written once, with the entry already in it. The
    // path settings may name another folder meanwhile: it is held as well.
    std::optional<FileLock> chosenDiaryLock;
    if (SelectPageAskingForPaths(config, run, host, NewPageWrite::WithEntry) !=
            PageSelection::Ready ||
        !LockDiaryFolder(config, host, chosenDiaryLock)) {
        MakePendingNewPage(run);  // the new page stays, as a copy of the prototype
        return GenerateResult::Failed;
    }
    // Under the lock no other run writes: what is left is a killed run's.
    RemoveLeftoverTemporaries(config);
    // The copies first: the entry's image tag gives their size.
    const PublishedImages images = PublishWebImages(config, run, host);
    const auto entry =
        ComposeEntry(config, WithImageSize(input, run), !run.imageUploadList.empty(), host);
    if (!entry) {
        RemoveMadeImages(images.made);
        MakePendingNewPage(run);
        return GenerateResult::Failed;
    }
    ForgetLastEntry(config.native.programDir);
    EntryBefore before = NoteBeforeEntry(config, run);
    before.madeImages = images.made;
    const PageWrite page = InsertIntoDiaryPage(config, run, *entry, host);
    if (page == PageWrite::Failed) {
        RemoveMadeImages(images.made);  // a page to show them comes with the next try
        return GenerateResult::Failed;
    }

    const bool currentCopyMade = config.makeCurrentCopy != 0 && RollsOver(config.splitMode) &&
                                 RefreshCurrentCopy(config, *entry, page, host);
    // The page holds the user's words: a feed that fails is said and the
    // entry stays written.
    const bool feedWritten = UpdateFeed(config, FeedInputFor(config, input, *entry), host);
    // Without a record the entry cannot be taken back later, but it is written.
    KeepForTakeBack(config, before, host);
    KeepLastEntry(config.native.programDir, input, run.imageUploadList);

    if (input.upload &&
        StartOrTell(config.uploaderPath,
                    UploadArguments(config, run, images.upload, currentCopyMade, feedWritten),
                    host) != StartResult::Started) {
        return GenerateResult::WrittenNoUploader;
    }
    return GenerateResult::Written;
}

}  // namespace qm
