#include "engine/take_back.h"

#include <filesystem>
#include <system_error>

#include "engine/diary_page.h"
#include "engine/generate.h"
#include "engine/host.h"
#include "engine/program_folder_lock.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/scratch_file.h"
#include "platform/stream_replace.h"
#include "settings/active_config.h"
#include "settings/keys.h"

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

// A path the file system cannot be given is looked at as a missing file.
NativePath OrNone(const FileResult<NativePath>& path) { return path ? *path : NativePath(); }

// The record's folder, as the messages name it and as the file system does.
std::string FolderOf(const std::string& programDirCp932) {
    return programDirCp932 + std::string(kTakeBackFolder);
}
FileResult<NativePath> RecordFolder(const ActiveConfig& config) {
    return NativeProgramFile(config, kTakeBackFolder);
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
        file.native = OrNone(NativePathOf(file.path));  // converted once, as it is read
        record.files.push_back(std::move(file));
    }
    return record;
}

// Removes the record and every earlier version kept with it.
void ForgetRecord(const fs::path& folder) {
    std::error_code ec;
    fs::remove(folder / kManifestName, ec);  // first: a half-removed record is no record
    fs::remove_all(folder, ec);
}

// Removes the files of `folder` whose names end in `suffix`.
void RemoveEndingIn(const fs::path& folder, std::string_view suffix) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix)) fs::remove(entry.path(), ec);
    }
}

// Gives the file its second name `role` + ".next" in the record's folder,
// so that its earlier version outlives the replace about to come.
void Stage(FileBefore& file, const NativePath& folder, std::string_view role) {
    file.stamp = StampOfFile(file.native);
    if (!file.stamp) return;  // no file: nothing to give back but its absence
    std::error_code ec;
    fs::create_directories(folder.str(), ec);
    const std::string staged = std::string(role) + std::string(kStagedSuffix);
    if (!LinkOrCopyFile(file.native, folder + staged)) return;
    file.staged = staged;
    file.stamp = StampOfFile(file.native);  // a second name changes the file's change time
}

// Starts the record's upload tool with the files given back their bytes.
void StartUpload(const Record& record, TakeBackOutcome& outcome, Host& host) {
    std::vector<std::string> arguments;
    for (const RecordedFile& file : record.files) {
        // A removed page has nothing to send.
        if (!file.backup.empty()) arguments.push_back(file.path);
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
    const auto folder = RecordFolder(config);
    // Earlier versions staged by a generate that then failed are no one's.
    if (folder) RemoveEndingIn(folder->str(), kStagedSuffix);

    EntryBefore before;
    before.page.path = config.diaryPage;
    before.page.native = OrNone(config.native.diaryPage);
    before.currentCopy.path = CurrentCopyPath(config);
    before.currentCopy.native = OrNone(config.native.currentCopy);
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
    if (!folder) return before;
    if (!before.rollOver) Stage(before.page, *folder, "page");
    Stage(before.currentCopy, *folder, "copy");
    return before;
}

bool KeepForTakeBack(const ActiveConfig& config, const EntryBefore& before) {
    const auto recordFolder = RecordFolder(config);
    if (!recordFolder) return false;
    const fs::path folder(recordFolder->str());
    // Whatever happens below, no record of an older generate may remain: it
    // would take back the wrong entry.
    std::error_code ec;
    fs::remove(folder / kManifestName, ec);
    RemoveEndingIn(folder, kBackupSuffix);

    Record record;
    record.configIniPath = config.configIniPath;
    // The record is a text of lines; a path with a line break cannot be kept in it.
    const auto keepable = [](const std::string& path) {
        return path.find_first_of("\r\n") == std::string::npos;
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
            fs::rename(folder / was.staged, folder / file.backup, ec);
            file.backupStamp = StampOfFile(*recordFolder + file.backup);
            if (ec || !file.backupStamp) return false;
        }
        record.files.push_back(std::move(file));
        return true;
    };
    bool recordable = add("page", before.page);
    if (before.rollOver && !before.rollOver->logPath.empty()) {
        const RollOverNote& note = *before.rollOver;
        if (note.logAfter && note.logAfter != note.logStampBefore) {
            RecordedFile file{"log",          "",           std::nullopt,
                              *note.logAfter, note.logPath, note.logNative};
            if (note.logBefore) {
                file.backup = std::string("log") + std::string(kBackupSuffix);
                fs::create_directories(folder, ec);
                if (ReplaceScratchFile(*recordFolder + file.backup, *note.logBefore)) {
                    file.backupStamp = StampOfFile(*recordFolder + file.backup);
                }
                recordable = recordable && file.backupStamp.has_value();
            }
            recordable = recordable && keepable(note.logPath);
            record.files.push_back(std::move(file));
        }
    }
    recordable = add("copy", before.currentCopy) && recordable;
    RemoveEndingIn(folder, kStagedSuffix);
    // The list goes last: until it is there, there is no record. It is not
    // flushed at once: a crash before the system's next flush loses the
    // chance to take the entry back, never the entry, and every file is
    // checked against its stamp before anything is given back.
    const bool kept = recordable && !record.files.empty() &&
                      ReplaceScratchFile(*recordFolder + kManifestName, SerializeRecord(record));
    if (!kept) ForgetRecord(folder);
    return kept;
}

TakeBackOutcome TakeBackLastEntry(const std::string& programDirCp932, bool upload, Host& host) {
    TakeBackOutcome outcome;
    // No generate may write while the files are compared and given back.
    ActiveConfig folderOnly;
    InitConfig(folderOnly, programDirCp932);
    const auto lock = LockProgramFolder(folderOnly, host);
    if (!lock) {
        outcome.status = TakeBackStatus::Busy;
        return outcome;
    }
    const std::string folderCp932 = FolderOf(folderOnly.programDir);
    const auto recordFolder = RecordFolder(folderOnly);
    if (!recordFolder) return outcome;
    const fs::path folder(recordFolder->str());
    const std::string manifestCp932 = folderCp932 + std::string(kManifestName);
    const auto manifest = ReadRegularFile(*recordFolder + kManifestName);
    if (!manifest) return outcome;
    const auto record = ParseRecord(*manifest);
    const auto fail = [&outcome](TakeBackStatus status, std::string file) {
        outcome.status = status;
        outcome.file = std::move(file);
        return outcome;
    };
    if (!record) return fail(TakeBackStatus::Failed, manifestCp932);

    // First every file is looked at, each held so no one writes meanwhile;
    // nothing is touched unless all of them stand as the generate left them.
    struct Pending {
        const RecordedFile* file;
        std::optional<LockedFile> held;
        std::optional<ReadOnlyFile> earlier;
    };
    std::vector<Pending> pending;
    for (const RecordedFile& file : record->files) {
        if (!FileExists(file.native)) {
            if (file.backup.empty()) continue;  // the page is gone already, as taking back wants
            return fail(TakeBackStatus::ChangedSince, file.path);
        }
        // Looked at before it is made writable, which would change its stamp.
        const bool asLeft = StampOfFile(file.native) == file.after;
        MakeOwnerWritable(file.native);
        auto held = LockedFile::Open(file.native, LockedFile::Mode::OpenExisting);
        if (!held) return fail(TakeBackStatus::Failed, file.path);
        std::optional<ReadOnlyFile> earlier;
        if (!file.backup.empty()) {
            auto opened = ReadOnlyFile::Open(*recordFolder + file.backup);
            if (!opened || StampOfDescriptor(opened->descriptor()) != file.backupStamp) {
                return fail(TakeBackStatus::Failed, folderCp932 + file.backup);
            }
            earlier = std::move(*opened);
        }
        if (!asLeft) {
            // Given back already by a try that stopped midway.
            if (earlier && SameContent(held->descriptor(), earlier->descriptor()) == true) continue;
            return fail(TakeBackStatus::ChangedSince, file.path);
        }
        pending.push_back({&file, std::move(*held), std::move(earlier)});
    }

    for (Pending& one : pending) {
        bool done = false;
        if (one.earlier) {
            const int from = one.earlier->descriptor();
            const auto size = StampOfDescriptor(from);
            done = size && one.held->ReplaceWith(
                               [&](int out) { return CopyFileRange(from, 0, size->size, out); });
        } else {
            done = RemoveFile(one.file->native).has_value();
        }
        // The record stays, so taking back again finishes what is left.
        if (!done) return fail(TakeBackStatus::Failed, one.file->path);
        (one.earlier ? outcome.restored : outcome.removed).push_back(one.file->path);
    }
    outcome.status = TakeBackStatus::TakenBack;
    ForgetRecord(folder);
    if (upload) StartUpload(*record, outcome, host);
    return outcome;
}

bool TakeBackRecorded(const ActiveConfig& config) {
    const auto folder = RecordFolder(config);
    return folder && FileExists(*folder + kManifestName);
}

}  // namespace qm
