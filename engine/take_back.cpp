#include "engine/take_back.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "engine/current_copy.h"
#include "engine/diary_page.h"
#include "engine/feed.h"
#include "engine/generate.h"
#include "engine/host.h"
#include "engine/leftovers.h"
#include "engine/messages.h"
#include "engine/program_folder_lock.h"
#include "engine/split_mode.h"
#include "engine/web_images.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/leftover_temps.h"
#include "platform/native_path.h"
#include "platform/path_text.h"
#include "platform/scratch_file.h"
#include "platform/stream_replace.h"
#include "platform/utf8_path.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/profile.h"

namespace qm {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kManifestName = "manifest.txt";
constexpr std::string_view kFormatLine = "Quillmaker take-back 2";
constexpr std::string_view kAbsent = "-";
// An earlier version staged while a generate runs; it becomes ".before" once
// the generate has succeeded.
constexpr std::string_view kStagedSuffix = ".next";
constexpr std::string_view kBackupSuffix = ".before";

// One file the generate changed. `backup` names its earlier version in the
// record's folder; empty when the file did not exist before.
struct RecordedFile {
    std::string role;  // page, log or copy: the order the upload tool gets them in
    std::string backup;
    std::optional<FileStamp> backupStamp;
    FileStamp after;   // the file as the generate left it
    std::string path;  // code page 932
    NativePath native;
};

struct Record {
    std::string configIniPath;
    std::vector<RecordedFile> files;
};

// The file system's name of a stored path; empty, which names no file, when
// it has none.
NativePath Fs(std::string_view stored) {
    auto path = NativePathOf(stored);
    return path ? *path : NativePath();
}
NativePath OrNone(const FileResult<NativePath>& path) { return path ? *path : NativePath(); }

std::string FolderOf(const std::string& programDirCp932) {
    return programDirCp932 + std::string(kTakeBackFolder);
}

// What stands at "undo" in the program folder. The record lives only in a
// folder of the program folder itself: a link is never followed (emptying
// it would empty another disk's folder) and nothing else is used.
enum class FolderKind { Absent, Own, Foreign, Unreadable };

struct FolderLook {
    FolderKind kind;
    FileProblem problem;  // why it is Unreadable
};

FileResult<NativePath> RecordFolder(const ActiveConfig& config) {
    return NativeProgramFile(config, kTakeBackFolder);
}

FolderLook LookAtRecordFolder(const ActiveConfig& config) {
    // Without the final '/', so that a link is looked at and not followed.
    const auto folder =
        NativeProgramFile(config, kTakeBackFolder.substr(0, kTakeBackFolder.size() - 1));
    if (!folder) return {FolderKind::Foreign, {}};
    const auto look = LookAtName(*folder);
    if (!look) {
        return {look.problem().code == ENOENT ? FolderKind::Absent : FolderKind::Unreadable,
                look.problem()};
    }
    return {look->kind == FileKind::Folder ? FolderKind::Own : FolderKind::Foreign, {}};
}

FolderKind KindOfRecordFolder(const ActiveConfig& config) {
    return LookAtRecordFolder(config).kind;
}

// Makes the record folder when there is none; what stands there then.
FolderLook MakeRecordFolder(const ActiveConfig& config) {
    const FolderLook look = LookAtRecordFolder(config);
    const auto folder = RecordFolder(config);
    if (look.kind != FolderKind::Absent || !folder) return look;
    std::error_code ec;
    if (fs::create_directory(PathOfUtf8(folder->str()), ec)) return LookAtRecordFolder(config);
    return {FolderKind::Unreadable, SystemProblem(folder->str(), ec.value())};
}

// "folder: why" for a record folder that is not Own or Absent.
std::string FolderProblem(const ActiveConfig& config, const FolderLook& look) {
    return look.kind == FolderKind::Foreign
               ? RefusalLine(FolderOf(config.programDir), msg::kRecordFolderForeignReason)
               : FileProblemLine(look.problem);
}

std::string Line(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (std::string_view field : fields) {
        if (!line.empty()) line += '\t';
        line += field;
    }
    return line + "\n";
}

std::string SerializeRecord(const Record& record) {
    std::string out = std::string(kFormatLine) + "\n";
    out += Line({"set", record.configIniPath});
    for (const RecordedFile& file : record.files) {
        out += Line({"file", file.role, file.backup.empty() ? kAbsent : file.backup,
                     file.backupStamp ? file.backupStamp->Text() : std::string(kAbsent),
                     file.after.Text(), file.path});
    }
    return out;
}

// Splits off `count` tab-separated fields; the rest of the line is the last.
std::optional<std::vector<std::string>> Fields(std::string_view line, std::size_t count) {
    std::vector<std::string> fields;
    while (fields.size() + 1 < count) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        fields.emplace_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.emplace_back(line);
    return fields;
}

std::optional<Record> ParseRecord(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (lines.size() < 2 || lines[0] != kFormatLine) return std::nullopt;
    Record record;
    const auto set = Fields(lines[1], 2);
    if (!set || (*set)[0] != "set") return std::nullopt;
    record.configIniPath = (*set)[1];
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const auto f = Fields(lines[i], 6);
        if (!f || (*f)[0] != "file" || (*f)[5].empty()) return std::nullopt;
        RecordedFile file;
        file.role = (*f)[1];
        const auto after = FileStamp::FromText((*f)[4]);
        if (!after) return std::nullopt;
        file.after = *after;
        if ((*f)[2] != kAbsent) {
            file.backup = (*f)[2];
            file.backupStamp = FileStamp::FromText((*f)[3]);
            if (!file.backupStamp) return std::nullopt;
        }
        file.path = (*f)[5];
        file.native = Fs(file.path);  // converted once, as it is read
        record.files.push_back(std::move(file));
    }
    return record;
}

// Removes the files of `folder` whose names end in `suffix`. A listing that
// fails midway stops it: what is left is removed by a later run.
void RemoveEndingIn(const fs::path& folder, std::string_view suffix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8OfPath(it->path().filename());
        std::error_code ignored;
        if (name.size() > suffix.size() && name.ends_with(suffix)) fs::remove(it->path(), ignored);
    }
}

// Removes the record and every earlier version kept with it (with
// `staged`, those staged for the next record too), from the program's own
// record folder only.
void ForgetRecord(const ActiveConfig& config, bool staged) {
    if (KindOfRecordFolder(config) != FolderKind::Own) return;
    const auto folderPath = RecordFolder(config);
    if (!folderPath) return;
    const fs::path folder = PathOfUtf8(folderPath->str());
    std::error_code ec;
    fs::remove(folder / kManifestName, ec);  // first: a half-removed record is no record
    RemoveEndingIn(folder, kBackupSuffix);
    if (staged) RemoveEndingIn(folder, kStagedSuffix);
}

// The temporaries a killed generate left in the record folder, and earlier
// versions it staged: no one's now.
void RemoveRecordLeftovers(const ActiveConfig& config) {
    if (KindOfRecordFolder(config) != FolderKind::Own) return;
    const auto folder = RecordFolder(config);
    if (!folder) return;
    RemoveEndingIn(PathOfUtf8(folder->str()), kStagedSuffix);
    RemoveTemporariesLeftIn(*folder, [](std::string_view) { return true; });
}

bool FeedNameUsable(const ActiveConfig& config) {
    return !config.feed.file.empty() && CheckFeedFile(config).usable();
}

// Whether the record's file names what a generate of this set writes: a
// page of the diary folder (or the prototype, edited in place), the log
// page, the current copy, the feed, a web copy of an image it made; and
// its earlier version the one name it may have.
bool MayName(const RecordedFile& file, const ActiveConfig& config) {
    if (!file.backup.empty() && file.backup != file.role + std::string(kBackupSuffix)) return false;
    if (file.role == "page") {
        return file.path == config.prototypePath || (FolderPart(file.path) == config.diaryFolder &&
                                                     IsDiaryPageName(FileNamePart(file.path)));
    }
    if (file.role == "image") return file.backup.empty() && IsWebImagePath(config, file.path);
    if (file.role == "log") return !config.logPath.empty() && file.path == config.logPath;
    if (file.role == "copy") {
        return !config.currentName.empty() && file.path == CurrentCopyPath(config) &&
               CheckCurrentCopy(config).usable();
    }
    if (file.role == "feed") {
        return !config.feed.file.empty() && file.path == FeedPath(config) && FeedNameUsable(config);
    }
    return false;
}

// Whether the recorded file is there; a problem when that cannot be told.
FileResult<bool> Exists(const RecordedFile& file) {
    // A stored path without a file system name says why it has none.
    if (file.native.empty()) return NativePathOf(file.path).problem();
    const auto look = LookAtFile(file.native);
    if (look) return true;
    if (look.problem().code == ENOENT) return false;
    return look.problem();
}

// The earlier version at `path` (shown as `backupCp932`), opened only when it
// is a regular file of the record folder (not a link) that stands as recorded.
std::optional<ReadOnlyFile> OpenEarlierVersion(const NativePath& path,
                                               const std::string& backupCp932,
                                               const std::optional<FileStamp>& recorded,
                                               std::string& problem) {
    const auto look = LookAtName(path);
    if (!look) {
        problem = FileProblemLine(look.problem());
        return std::nullopt;
    }
    if (look->kind != FileKind::Regular) {
        problem = RefusalLine(backupCp932, msg::kRecordBackupNotOwnReason);
        return std::nullopt;
    }
    auto earlier = ReadOnlyFile::Open(path);
    if (!earlier) {
        problem = FileProblemLine(earlier.problem());
        return std::nullopt;
    }
    // Opened by name after the look: the same file, or another put there meanwhile.
    const auto stamp = StampOfDescriptor(earlier->descriptor());
    if (!stamp || stamp->device != look->stamp.device || stamp->inode != look->stamp.inode ||
        stamp != recorded) {
        problem = RefusalLine(backupCp932, msg::kRecordBackupChangedReason);
        return std::nullopt;
    }
    return std::move(*earlier);
}

// Gives the file its second name `role` + ".next" in the record's folder,
// so that its earlier version outlives the replace about to come. When it
// cannot, `problem` says why (unless an earlier problem does already).
void Stage(FileBefore& file, const ActiveConfig& config, std::string_view role,
           std::string& problem) {
    file.stamp = StampOfFile(file.native);
    // No file: nothing to give back but its absence; no regular file: nothing
    // this generate can replace.
    if (!file.stamp || !problem.empty() || !FileExists(file.native)) return;
    const auto folder = RecordFolder(config);
    if (const FolderLook look = MakeRecordFolder(config); look.kind != FolderKind::Own || !folder) {
        problem = FolderProblem(config, look);
        return;
    }
    const std::string staged = std::string(role) + std::string(kStagedSuffix);
    if (auto linked = LinkOrCopyFile(file.native, *folder + staged); !linked) {
        problem = FileProblemLine(linked.problem());
        return;
    }
    file.staged = staged;
    file.stamp = StampOfFile(file.native);  // a second name changes the file's change time
}

// Starts the record's upload tool with the files given back their bytes.
void StartUpload(const Record& record, TakeBackOutcome& outcome, Host& host) {
    std::vector<std::string> arguments;
    for (const RecordedFile& file : record.files) {
        // A removed page has nothing to send.
        if (!file.backup.empty()) arguments.push_back(file.native.str());
    }
    if (arguments.empty()) return;
    outcome.uploaderPath = ReadKey(record.configIniPath, setkeys::kFtp);
    outcome.upload = host.StartProgram(outcome.uploaderPath, arguments, StartWait::None);
    outcome.uploadStarted = true;
}

}  // namespace

void NoteBeforeRollOver(const ActiveConfig& config, RunState& run) {
    RollOverNote note;
    note.page = config.diaryPage;
    note.pageNative = OrNone(config.native.diaryPage);
    note.logPath = config.logPath;
    note.logNative = OrNone(config.native.logPath);
    if (!note.logPath.empty()) {
        if (auto log = ReadRegularFile(note.logNative)) note.logBefore = std::move(*log);
        note.logStampBefore = StampOfFile(note.logNative);
    }
    run.rollOvers.push_back(std::move(note));
}

void NoteAfterRollOver(const ActiveConfig& config, RunState& run) {
    if (run.rollOvers.empty() || run.rollOvers.back().page != config.diaryPage) return;
    RollOverNote& note = run.rollOvers.back();
    note.pageAfter = StampOfFile(note.pageNative);
    if (!note.logPath.empty()) note.logAfter = StampOfFile(note.logNative);
}

EntryBefore NoteBeforeEntry(const ActiveConfig& config, const RunState& run) {
    // Earlier versions staged by a generate that then failed are no one's.
    RemoveRecordLeftovers(config);

    EntryBefore before;
    before.page.path = config.diaryPage;
    before.page.native = OrNone(config.native.diaryPage);
    for (auto note = run.rollOvers.rbegin(); note != run.rollOvers.rend(); ++note) {
        if (note->page != config.diaryPage) continue;
        // Edited since the roll-over made it (as its message invites): the
        // page is the user's now and stays; only the entry is taken back. A
        // page still to be made with the entry is the roll-over's.
        const bool pending =
            run.pendingNewPage && run.pendingNewPage->pageStored == config.diaryPage;
        if (pending || (note->pageAfter && StampOfFile(before.page.native) == note->pageAfter)) {
            before.rollOver = *note;
        }
        break;
    }
    if (!before.rollOver) Stage(before.page, config, "page", before.recordProblem);
    // A current copy this generate will not write is not looked at: its name
    // may lead anywhere.
    if (config.makeCurrentCopy != 0 && RollsOver(config.splitMode) &&
        CheckCurrentCopy(config).usable()) {
        before.currentCopy.path = CurrentCopyPath(config);
        before.currentCopy.native = OrNone(config.native.currentCopy);
        Stage(before.currentCopy, config, "copy", before.recordProblem);
    }
    if (FeedNameUsable(config)) {
        before.feed.path = FeedPath(config);
        before.feed.native = OrNone(config.native.feed);
        Stage(before.feed, config, "feed", before.recordProblem);
    }
    return before;
}

void KeepForTakeBack(const ActiveConfig& config, const EntryBefore& before, Host& host) {
    const std::string folderCp932 = FolderOf(config.programDir);
    std::string problem = before.recordProblem;
    // Whatever happens below, no record of an older generate may remain: it
    // would take back the wrong entry.
    ForgetRecord(config, /*staged=*/false);
    if (const FolderLook look = MakeRecordFolder(config);
        look.kind != FolderKind::Own && problem.empty()) {
        problem = FolderProblem(config, look);
    }
    const NativePath folderPath = OrNone(RecordFolder(config));
    const fs::path folder = PathOfUtf8(folderPath.str());

    Record record;
    record.configIniPath = config.configIniPath;
    // The record is a text of lines; a path with a line break cannot be kept in it.
    const auto keepable = [&problem](const std::string& path) {
        if (path.find_first_of("\r\n") == std::string::npos) return true;
        if (problem.empty()) problem = RefusalLine(path, msg::kNameControlReason);
        return false;
    };
    const auto add = [&](const char* role, const FileBefore& was) {
        const auto now = StampOfFile(was.native);
        if (!now || (was.stamp && now == was.stamp)) return true;  // gone, or not changed
        if (!keepable(was.path)) return false;
        RecordedFile file{role, "", std::nullopt, *now, was.path, was.native};
        if (was.stamp) {
            // It existed: without its earlier version it cannot be given back.
            if (was.staged.empty()) return false;
            file.backup = std::string(role) + std::string(kBackupSuffix);
            std::error_code ec;
            fs::rename(folder / was.staged, folder / file.backup, ec);
            if (!ec) file.backupStamp = StampOfFile(folderPath + file.backup);
            if (!file.backupStamp) {
                if (problem.empty()) {
                    problem = FileProblemLine(
                        SystemProblem((folderPath + file.backup).str(), ec.value()));
                }
                return false;
            }
        }
        record.files.push_back(std::move(file));
        return true;
    };
    bool recordable = problem.empty() && add("page", before.page);
    if (recordable && before.rollOver && !before.rollOver->logPath.empty()) {
        const RollOverNote& note = *before.rollOver;
        if (note.logAfter && note.logAfter != note.logStampBefore) {
            RecordedFile file{"log",          "",           std::nullopt,
                              *note.logAfter, note.logPath, note.logNative};
            if (note.logBefore) {
                file.backup = std::string("log") + std::string(kBackupSuffix);
                const NativePath backup = folderPath + file.backup;
                if (auto kept = ReplaceScratchFile(backup, *note.logBefore)) {
                    file.backupStamp = StampOfFile(backup);
                } else if (problem.empty()) {
                    problem = FileProblemLine(kept.problem());
                }
                recordable = recordable && file.backupStamp.has_value();
            }
            recordable = recordable && keepable(note.logPath);
            record.files.push_back(std::move(file));
        }
    }
    recordable = recordable && add("copy", before.currentCopy) && add("feed", before.feed);
    for (const std::string& image : before.madeImages) {
        recordable = recordable && add("image", FileBefore{image, Fs(image), "", std::nullopt});
    }
    if (problem.empty()) RemoveEndingIn(folder, kStagedSuffix);
    // The list goes last: until it is there, there is no record. It is not
    // flushed at once: a crash before the system's next flush loses the
    // chance to take the entry back, never the entry, and every file is
    // checked against its stamp before anything is given back.
    if (recordable && record.files.empty()) return;  // nothing changed: nothing to take back
    if (recordable) {
        const auto kept = ReplaceScratchFile(folderPath + kManifestName, SerializeRecord(record));
        if (kept) return;
        problem = FileProblemLine(kept.problem());
    }
    ForgetRecord(config, /*staged=*/true);
    host.ShowMessage(Sjis(msg::kRecordLostText) + "\r\n" + problem, Sjis(msg::kRecordLostCaption));
}

TakeBackOutcome TakeBackLastEntry(const std::string& programDirCp932, bool upload, Host& host) {
    TakeBackOutcome outcome;
    const auto fail = [&outcome](TakeBackStatus status, std::string file, std::string problem) {
        outcome.status = status;
        outcome.file = std::move(file);
        outcome.problem = std::move(problem);
        return outcome;
    };
    // No generate may write while the files are compared and given back.
    ActiveConfig config;
    InitConfig(config, programDirCp932);
    const auto lock = LockProgramFolder(config, host);
    if (!lock) return fail(TakeBackStatus::Busy, "", "");
    const std::string folderCp932 = FolderOf(config.programDir);
    if (const FolderLook look = LookAtRecordFolder(config); look.kind != FolderKind::Own) {
        if (look.kind == FolderKind::Absent) return outcome;
        return fail(TakeBackStatus::Failed, folderCp932, FolderProblem(config, look));
    }
    RemoveRecordLeftovers(config);
    const std::string manifestCp932 = folderCp932 + std::string(kManifestName);
    const NativePath folderNative = OrNone(RecordFolder(config));
    const auto manifest = ReadRegularFile(folderNative + kManifestName);
    if (!manifest) {
        if (manifest.problem().code == ENOENT) return outcome;  // nothing recorded
        return fail(TakeBackStatus::Failed, manifestCp932, FileProblemLine(manifest.problem()));
    }
    const auto record = ParseRecord(*manifest);
    if (!record) {
        return fail(TakeBackStatus::Failed, manifestCp932,
                    RefusalLine(manifestCp932, msg::kRecordDamagedReason));
    }

    // The record names its set; the set names what it may touch. Each
    // settings file is read once, as a generate reads them.
    const auto system = SettingsFile::Load(config.systemIniPath);
    if (!system) {
        return fail(TakeBackStatus::Failed, config.systemIniPath,
                    FileProblemLine(system.problem()));
    }
    const int sets = CountListEntries(*system, syskeys::kSetListSection);
    int setIndex = 0;
    while (setIndex < sets &&
           SetIniPath(config.programDir, ReadListEntry(*system, syskeys::kSetListSection, setIndex,
                                                       syskeys::kSetNameCapacity)) !=
               record->configIniPath) {
        ++setIndex;
    }
    if (setIndex == sets) {
        return fail(TakeBackStatus::Failed, manifestCp932,
                    RefusalLine(manifestCp932, msg::kRecordSetUnknownReason));
    }
    // A set file that cannot be read is said so there.
    if (!ReadSetPaths(config, *system, setIndex, host)) {
        return fail(TakeBackStatus::Failed, record->configIniPath, "");
    }
    std::optional<FileLock> diaryLock;
    if (!LockDiaryFolder(config, host, diaryLock)) return fail(TakeBackStatus::Busy, "", "");
    // A take back killed midway left its copies beside the pages.
    RemoveLeftoverTemporaries(config);

    // First every file is looked at; nothing is touched (not even a mode)
    // unless all of them stand as the generate left them.
    struct Pending {
        const RecordedFile* file;
        std::optional<ReadOnlyFile> earlier;
        std::optional<LockedFile> held;
    };
    std::vector<Pending> pending;
    for (const RecordedFile& file : record->files) {
        if (!MayName(file, config)) {
            return fail(TakeBackStatus::Failed, file.path,
                        RefusalLine(file.path, msg::kRecordOtherFileReason));
        }
    }
    for (const RecordedFile& file : record->files) {
        const auto exists = Exists(file);
        if (!exists)
            return fail(TakeBackStatus::Failed, file.path, FileProblemLine(exists.problem()));
        if (!*exists) {
            if (file.backup.empty()) continue;  // the page is gone already, as taking back wants
            return fail(TakeBackStatus::ChangedSince, file.path, "");
        }
        const bool asLeft = StampOfFile(file.native) == file.after;
        std::optional<ReadOnlyFile> earlier;
        if (!file.backup.empty()) {
            std::string problem;
            // The earlier versions' names are the program's own, plain ASCII.
            earlier = OpenEarlierVersion(folderNative + file.backup, folderCp932 + file.backup,
                                         file.backupStamp, problem);
            if (!earlier) return fail(TakeBackStatus::Failed, folderCp932 + file.backup, problem);
        }
        if (!asLeft) {
            // Given back already by a try that stopped midway.
            const auto now = ReadOnlyFile::Open(file.native);
            if (earlier && now && SameContent(now->descriptor(), earlier->descriptor()) == true)
                continue;
            return fail(TakeBackStatus::ChangedSince, file.path, "");
        }
        pending.push_back({&file, std::move(earlier), std::nullopt});
    }
    // Then each is made writable and held, so no one writes meanwhile.
    for (Pending& one : pending) {
        MakeOwnerWritable(one.file->native);
        auto held = LockedFile::Open(one.file->native, LockedFile::Mode::OpenExisting);
        if (!held) {
            return fail(TakeBackStatus::Failed, one.file->path, FileProblemLine(held.problem()));
        }
        one.held = std::move(*held);
    }

    for (Pending& one : pending) {
        std::string problem;
        if (one.earlier) {
            // Its size was checked with its stamp.
            const int from = one.earlier->descriptor();
            const std::uint64_t size = one.file->backupStamp->size;
            const auto restored =
                one.held->ReplaceWith([&](int out) { return CopyFileRange(from, 0, size, out); });
            // Reading the earlier version or writing the file: either may have failed.
            if (!restored) {
                problem = FileProblemLine(restored.problem()) + " (" + folderCp932 +
                          one.file->backup + ")";
            }
        } else if (const auto removed = RemoveFile(one.file->native); !removed) {
            problem = FileProblemLine(removed.problem());
        }
        // The record stays, so taking back again finishes what is left.
        if (!problem.empty()) return fail(TakeBackStatus::Failed, one.file->path, problem);
        (one.earlier ? outcome.restored : outcome.removed).push_back(one.file->path);
    }
    outcome.status = TakeBackStatus::TakenBack;
    // Let go of the files first: Windows removes an open file only when it is
    // closed. The program folder's lock still keeps every generate out.
    pending.clear();
    ForgetRecord(config, /*staged=*/true);
    if (upload) StartUpload(*record, outcome, host);
    return outcome;
}

bool TakeBackRecorded(const std::string& programDirCp932) {
    return FileExists(Fs(FolderOf(programDirCp932) + std::string(kManifestName)));
}

}  // namespace qm
