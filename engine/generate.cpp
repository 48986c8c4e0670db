#include "engine/generate.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "engine/host.h"
#include "engine/leftovers.h"
#include "engine/messages.h"
#include "engine/program_arguments.h"
#include "engine/split_mode.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/pinned_profile.h"

namespace qm {

namespace {

bool SameFile(std::string_view a, std::string_view b) {
    auto fsA = ToFsPath(a);
    auto fsB = ToFsPath(b);
    if (!fsA || !fsB || fsA->empty() || fsB->empty()) return false;
    std::error_code ec;
    return std::filesystem::equivalent(*fsA, *fsB, ec);
}

// A current-copy name that names one of the user's own files would overwrite
// it with a copy of the page: such a copy is never made.
bool CurrentCopyWouldOverwrite(const ActiveConfig& config, std::string_view copyPath) {
    for (const std::string* own :
         {&config.diaryPage, &config.prototypePath, &config.logPath, &config.templatePath}) {
        if (SameFile(copyPath, *own)) return true;
    }
    return false;
}

// Refreshes the current copy; true when a copy was written.
bool RefreshCurrentCopy(const ActiveConfig& config, Host& host) {
    const std::string copyPath = CurrentCopyPath(config);
    if (config.currentName.empty() || CurrentCopyWouldOverwrite(config, copyPath)) return false;
    MakeOwnerWritable(copyPath);
    if (config.alwaysOne == 1) {
        // The prototype with the newest entry only; its insertion messages may
        // appear, but the flow goes on whatever they say.
        if (!CopyFileTo(config.prototypePath, copyPath, /*failIfExists=*/false)) return false;
        InsertEntry(config, copyPath, host);
        return true;
    }
    return CopyFileTo(config.diaryPage, copyPath, /*failIfExists=*/false);
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

bool LoadConfiguration(ActiveConfig& config, RunState& run, SystemState& state, Host& host) {
    const std::string& ini = config.systemIniPath;
    state.setNames.clear();
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
    state.setNames.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        state.setNames.push_back(
            ReadListEntry(ini, syskeys::kSetListSection, i, syskeys::kSetNameCapacity));
    }
    if (run.currentSetIndex < 0 || run.currentSetIndex >= count) run.currentSetIndex = 0;
    return LoadPaths(config, run, host) != PageSelection::NeedsSettings;
}

std::string SetIniPathOf(const ActiveConfig& config, int setIndex) {
    const std::string setName = ReadListEntry(config.systemIniPath, syskeys::kSetListSection,
                                              setIndex, syskeys::kSetNameCapacity);
    return SetIniPath(config.programDir, setName);
}

void ReadSetPaths(ActiveConfig& config, int setIndex) {
    config.configIniPath = SetIniPathOf(config, setIndex);

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
}

PageSelection LoadPaths(ActiveConfig& config, RunState& run, Host& host) {
    ReadSetPaths(config, run.currentSetIndex);
    const PageSelection selected = SelectDiaryPage(config, run, host);
    if (selected == PageSelection::NeedsSettings) return selected;

    if (config.prototypePath.empty() || config.templatePath.empty()) {
        if (!host.OpenPathSettings(config)) {
            host.ShowMessage(Sjis(msg::kPathsEmptyText), Sjis(msg::kSettingsCaption));
            return PageSelection::NeedsSettings;
        }
        return SelectDiaryPage(config, run, host);
    }
    return selected;
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
    // The list is already joined by quote, space, quote: one pair of quotes
    // around it gives one argument per image.
    if (!run.imageUploadList.empty()) text.append(" \"").append(run.imageUploadList).append("\"");
    if (currentCopyMade) text.append(" ").append(QuoteArgument(CurrentCopyPath(config)));
    return text;
}

GenerateResult GenerateCommand(ActiveConfig& config, RunState& run, const EntryInput& input,
                               Host& host) {
    // Each settings file is read once, so a read that fails midway cannot
    // send the entry elsewhere by turning single keys into their defaults.
    const PinnedProfile systemIni(config.systemIniPath);
    const PinnedProfile setIni(SetIniPathOf(config, run.currentSetIndex));
    for (const PinnedProfile* ini : {&systemIni, &setIni}) {
        if (ini->readable()) continue;
        host.ShowMessage(AboutFile(ini->path(), msg::kSettingsReadText),
                         Sjis(msg::kSettingsReadCaption));
        return GenerateResult::Failed;
    }
    if (LoadPaths(config, run, host) != PageSelection::Ready) return GenerateResult::Failed;
    RemoveLeftoverTemporaries(config);
    if (!ComposeEntry(config, input, run.imageUploadList, host)) return GenerateResult::Failed;
    if (!InsertEntry(config, config.diaryPage, host)) return GenerateResult::Failed;

    const bool currentCopyMade = config.makeCurrentCopy != 0 && RollsOver(config.splitMode) &&
                                 RefreshCurrentCopy(config, host);

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
