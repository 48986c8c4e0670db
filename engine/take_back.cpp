#include "engine/take_back.h"

#include <filesystem>
#include <system_error>

#include "engine/diary_page.h"
#include "engine/generate.h"
#include "engine/host.h"
#include "engine/program_arguments.h"
#include "engine/program_folder_lock.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kManifestName = "manifest.txt";
constexpr std::string_view kFormatLine = "Quillmaker take-back 1";
constexpr std::string_view kAbsent = "-";

// Bytes identified by size and fingerprint; the record keeps no second copy
// of what the generate wrote.
struct Fingerprint {
    std::size_t size = 0;
    std::string sha256;

    static Fingerprint Of(std::string_view bytes) { return {bytes.size(), Sha256Hex(bytes)}; }
    bool Matches(std::string_view bytes) const {
        return bytes.size() == size && Sha256Hex(bytes) == sha256;
    }
};

// One file the generate changed. `backup` names the earlier bytes in the
// record's folder; empty when the file did not exist before.
struct RecordedFile {
    std::string role;  // page, log or copy: the order the upload tool gets them in
    std::string backup;
    std::optional<Fingerprint> before;
    Fingerprint after;
    std::string path;  // code page 932
};

struct Record {
    std::string configIniPath;
    std::vector<RecordedFile> files;
};

std::string FolderOf(const std::string& programDirCp932) {
    return programDirCp932 + std::string(kTakeBackFolder);
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
        const std::string beforeSize = file.before ? std::to_string(file.before->size) : "0";
        out += Line({"file", file.role, file.backup.empty() ? kAbsent : file.backup, beforeSize,
                     file.before ? file.before->sha256 : std::string(kAbsent),
                     std::to_string(file.after.size), file.after.sha256, file.path});
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

std::optional<std::size_t> Size(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::stoull(text));
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
        const auto f = Fields(lines[i], 8);
        if (!f || (*f)[0] != "file" || (*f)[7].empty()) return std::nullopt;
        RecordedFile file;
        file.role = (*f)[1];
        const auto beforeSize = Size((*f)[3]);
        const auto afterSize = Size((*f)[5]);
        if (!beforeSize || !afterSize) return std::nullopt;
        if ((*f)[2] != kAbsent) {
            file.backup = (*f)[2];
            file.before = Fingerprint{*beforeSize, (*f)[4]};
        }
        file.after = Fingerprint{*afterSize, (*f)[6]};
        file.path = (*f)[7];
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

// Starts the record's upload tool with the files given back their bytes.
void StartUpload(const Record& record, TakeBackOutcome& outcome, Host& host) {
    std::string parameters;
    for (const RecordedFile& file : record.files) {
        if (!file.before) continue;  // a removed page has nothing to send
        if (!parameters.empty()) parameters += ' ';
        parameters += QuoteArgument(file.path);
    }
    if (parameters.empty()) return;
    outcome.uploaderPath = ReadKey(record.configIniPath, setkeys::kFtp);
    outcome.upload = host.StartProgram(outcome.uploaderPath, parameters);
    outcome.uploadStarted = true;
}

}  // namespace

void NoteBeforeRollOver(const ActiveConfig& config, RunState& run) {
    RollOverNote note;
    note.page = config.diaryPage;
    note.logPath = config.logPath;
    if (!note.logPath.empty()) note.logBefore = ReadFileBytes(note.logPath);
    run.rollOvers.push_back(std::move(note));
}

void NoteAfterRollOver(const ActiveConfig& config, RunState& run) {
    if (run.rollOvers.empty() || run.rollOvers.back().page != config.diaryPage) return;
    RollOverNote& note = run.rollOvers.back();
    note.pageAfter = ReadFileBytes(note.page);
    if (!note.logPath.empty()) note.logAfter = ReadFileBytes(note.logPath);
}

EntryBefore NoteBeforeEntry(const ActiveConfig& config, const RunState& run) {
    EntryBefore before;
    before.page = {config.diaryPage, ReadFileBytes(config.diaryPage)};
    for (auto note = run.rollOvers.rbegin(); note != run.rollOvers.rend(); ++note) {
        if (note->page != config.diaryPage) continue;
        // Edited since the roll-over made it (as its message invites): the
        // page is the user's now and stays; only the entry is taken back.
        if (note->pageAfter && before.page.bytes == note->pageAfter) {
            before.page.bytes.reset();
            before.rollOver = *note;
        }
        break;
    }
    const std::string copyPath = CurrentCopyPath(config);
    before.currentCopy = {copyPath, ReadFileBytes(copyPath)};
    return before;
}

bool KeepForTakeBack(const ActiveConfig& config, const EntryBefore& before) {
    const auto folderPath = ToFsPath(FolderOf(config.programDir));
    if (!folderPath) return false;
    const fs::path folder(*folderPath);
    // Whatever happens below, no record of an older generate may remain: it
    // would take back the wrong entry.
    ForgetRecord(folder);

    Record record;
    record.configIniPath = config.configIniPath;
    std::vector<std::pair<std::string, std::string>> backups;  // name, bytes
    const auto add = [&](const char* role, const std::string& path,
                         const std::optional<std::string>& was,
                         const std::optional<std::string>& now) {
        if (!now || was == now) return true;
        // The record is a text of lines; such a path cannot be kept in it.
        if (path.find_first_of("\r\n") != std::string::npos) return false;
        RecordedFile file{role, "", std::nullopt, Fingerprint::Of(*now), path};
        if (was) {
            file.backup = std::string(role) + ".before";
            file.before = Fingerprint::Of(*was);
            backups.emplace_back(file.backup, *was);
        }
        record.files.push_back(std::move(file));
        return true;
    };
    bool recordable =
        add("page", before.page.path, before.page.bytes, ReadFileBytes(before.page.path));
    if (before.rollOver && !before.rollOver->logPath.empty()) {
        recordable = add("log", before.rollOver->logPath, before.rollOver->logBefore,
                         before.rollOver->logAfter) &&
                     recordable;
    }
    recordable = add("copy", before.currentCopy.path, before.currentCopy.bytes,
                     ReadFileBytes(before.currentCopy.path)) &&
                 recordable;
    if (!recordable || record.files.empty()) return false;

    std::error_code ec;
    fs::create_directories(folder, ec);
    bool kept = !ec;
    for (const auto& [name, bytes] : backups) {
        kept = kept && ReplaceFileContents((folder / name).string(), bytes);
    }
    // The list goes last: until it is there, there is no record.
    kept = kept && ReplaceFileContents((folder / kManifestName).string(), SerializeRecord(record));
    if (!kept) ForgetRecord(folder);
    return kept;
}

TakeBackOutcome TakeBackLastEntry(const std::string& programDirCp932, bool upload, Host& host) {
    TakeBackOutcome outcome;
    // No generate may write while the files are compared and given back.
    ActiveConfig folderOnly;
    folderOnly.programDir = programDirCp932;
    const auto lock = LockProgramFolder(folderOnly, host);
    if (!lock) {
        outcome.status = TakeBackStatus::Busy;
        return outcome;
    }
    const std::string folderCp932 = FolderOf(programDirCp932);
    const auto folderPath = ToFsPath(folderCp932);
    if (!folderPath) return outcome;
    const fs::path folder(*folderPath);
    const std::string manifestCp932 = folderCp932 + std::string(kManifestName);
    const auto manifest = ReadFileBytes(manifestCp932);
    if (!manifest) return outcome;
    const auto record = ParseRecord(*manifest);
    const auto fail = [&outcome](TakeBackStatus status, std::string file) {
        outcome.status = status;
        outcome.file = std::move(file);
        return outcome;
    };
    if (!record) return fail(TakeBackStatus::Failed, manifestCp932);

    // First every file is looked at, each held so no one writes meanwhile;
    // nothing is touched unless all of them hold what the generate wrote.
    struct Pending {
        const RecordedFile* file;
        std::optional<LockedFile> held;
        std::optional<std::string> earlier;
    };
    std::vector<Pending> pending;
    for (const RecordedFile& file : record->files) {
        if (!FileExists(file.path)) {
            if (!file.before) continue;  // the page is gone already, as taking back wants
            return fail(TakeBackStatus::ChangedSince, file.path);
        }
        MakeOwnerWritable(file.path);
        auto held = LockedFile::Open(file.path, LockedFile::Mode::OpenExisting);
        const auto now = held ? held->ReadAll() : std::nullopt;
        if (!now) return fail(TakeBackStatus::Failed, file.path);
        if (file.before && file.before->Matches(*now)) continue;  // given back already
        if (!file.after.Matches(*now)) return fail(TakeBackStatus::ChangedSince, file.path);
        Pending one{&file, std::move(held), std::nullopt};
        if (file.before) {
            one.earlier = ReadFileBytes(folderCp932 + file.backup);
            if (!one.earlier || !file.before->Matches(*one.earlier)) {
                return fail(TakeBackStatus::Failed, folderCp932 + file.backup);
            }
        }
        pending.push_back(std::move(one));
    }

    for (Pending& one : pending) {
        const bool done =
            one.earlier ? one.held->Replace(*one.earlier) : RemoveFile(one.file->path);
        // The record stays, so taking back again finishes what is left.
        if (!done) return fail(TakeBackStatus::Failed, one.file->path);
        (one.earlier ? outcome.restored : outcome.removed).push_back(one.file->path);
    }
    outcome.status = TakeBackStatus::TakenBack;
    ForgetRecord(folder);
    if (upload) StartUpload(*record, outcome, host);
    return outcome;
}

}  // namespace qm
