#include "engine/current_copy.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/generate.h"
#include "engine/host.h"
#include "engine/last_entry.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

namespace {

namespace fs = std::filesystem;

// Where a path really leads: absolute, links of its existing part followed.
std::optional<fs::path> Resolved(const FileResult<NativePath>& native) {
    if (!native || native->empty()) return std::nullopt;
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(native->str(), ec), ec);
    if (ec) return std::nullopt;
    if (path.has_parent_path() && path.filename().empty()) path = path.parent_path();
    return path;
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

bool IsProgramFileName(std::string_view name) {
    for (std::string_view own : {kSystemIniName, kEntryFileName, kProgramFolderLockName,
                                 kWindowLockName, kDraftFileName, kLastEntryFileName}) {
        if (EqualsIgnoringAsciiCase(name, own)) return true;
    }
    return EndsWithIgnoringAsciiCase(name, ".ini");
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return a == b || fs::equivalent(a, b, ec);
}

}  // namespace

std::string_view FileNameReason(FileNameVerdict verdict) {
    switch (verdict) {
        case FileNameVerdict::Empty:
            return msg::kNameEmptyReason;
        case FileNameVerdict::Reserved:
            return msg::kNameProgramFileReason;
        case FileNameVerdict::NotCp932:
            return msg::kNameNotCp932Reason;
        case FileNameVerdict::Separator:
            return msg::kNameSeparatorReason;
        case FileNameVerdict::DotsOnly:
            return msg::kNameDotsReason;
        case FileNameVerdict::Control:
            return msg::kNameControlReason;
        case FileNameVerdict::BlankEdge:
            return msg::kNameBlankEdgeReason;
        case FileNameVerdict::TooLong:
            return msg::kNameTooLongReason;
        case FileNameVerdict::PathTooLong:
            return msg::kNamePathTooLongReason;
        case FileNameVerdict::Usable:
            break;
    }
    return {};
}

namespace {}  // namespace

CurrentNameCheck CheckDiaryFolderFile(const ActiveConfig& config, std::string_view nameCp932,
                                      const FileResult<NativePath>& path, std::size_t capacity,
                                      const FileResult<NativePath>& sibling) {
    const FileResult<NativePath>& copyPath = path;
    CurrentNameCheck check;
    check.plain = CheckPlainFileName(nameCp932);
    if (check.plain == FileNameVerdict::Usable && nameCp932.size() >= capacity) {
        check.plain = FileNameVerdict::TooLong;
    }
    if (check.plain != FileNameVerdict::Usable) {
        check.verdict = CurrentNameVerdict::BadName;
        return check;
    }
    if (IsProgramFileName(nameCp932)) {
        check.verdict = CurrentNameVerdict::ProgramFile;
        return check;
    }
    // The copy is written where a link at its name leads: judge that file.
    const auto& folder = config.native.diaryFolder;
    const auto copy = Resolved(copyPath);
    const auto resolvedFolder =
        Resolved(folder && folder->empty() ? FileResult<NativePath>(NativePath("./")) : folder);
    if (!copy || !resolvedFolder) return check;  // the copy fails, and says so
    if (copy->parent_path() != *resolvedFolder) {
        check.verdict = CurrentNameVerdict::Outside;
    } else if (IsProgramFileName(copy->filename().string())) {
        check.verdict = CurrentNameVerdict::ProgramFile;
    } else {
        const NativeSetPaths& native = config.native;
        for (const auto* own : {&native.diaryPage, &native.prototypePath, &native.logPath,
                                &native.templatePath, &sibling}) {
            const auto ownPath = Resolved(*own);
            if (ownPath && SameFile(*copy, *ownPath)) check.verdict = CurrentNameVerdict::UserFile;
        }
    }
    return check;
}

CurrentNameCheck CheckCurrentName(const ActiveConfig& config, std::string_view nameCp932) {
    // A name typed in a dialog that may have changed the other paths as well:
    // all of them are judged as they stand there.
    ActiveConfig typed = config;
    NoteNativeSetPaths(typed);
    typed.native.diaryPage = NativeDiaryPage(typed, typed.diaryPage);
    return CheckDiaryFolderFile(typed, nameCp932,
                                NativePathOf(typed.diaryFolder + std::string(nameCp932)),
                                setkeys::kCurrentName.capacity, typed.native.feed);
}

std::string_view CurrentNameReason(const CurrentNameCheck& check) {
    switch (check.verdict) {
        case CurrentNameVerdict::BadName:
            return FileNameReason(check.plain);
        case CurrentNameVerdict::ProgramFile:
            return msg::kNameProgramFileReason;
        case CurrentNameVerdict::UserFile:
            return msg::kNameUserFileReason;
        case CurrentNameVerdict::Outside:
            return msg::kNameOutsideReason;
        case CurrentNameVerdict::Usable:
            break;
    }
    return {};
}

CurrentNameCheck CheckCurrentCopy(const ActiveConfig& config) {
    return CheckDiaryFolderFile(config, config.currentName, config.native.currentCopy,
                                setkeys::kCurrentName.capacity, config.native.feed);
}

bool RefreshCurrentCopy(const ActiveConfig& config, std::string_view entryText, PageWrite page,
                        Host& host) {
    const auto& copyPath = config.native.currentCopy;
    const CurrentNameCheck check = CheckCurrentCopy(config);
    if (!check.usable()) {
        host.ShowMessage(Sjis(msg::kCurrentNameUnusableText) + config.currentName + "\r\n" +
                             Sjis(CurrentNameReason(check)),
                         Sjis(msg::kCurrentCopyCaption));
        return false;
    }
    // With alwaysOne the prototype with the newest entry only; its insertion
    // messages may appear, but the flow goes on whatever they say.
    FileStatus written = copyPath ? FileStatus() : FileStatus(copyPath.problem());
    if (written) {
        MakeOwnerWritable(*copyPath);
        written = WriteCurrentCopy(config, *copyPath, entryText, page, host);
    }
    if (!written) {
        host.ShowMessage(SjisWithFileProblem(msg::kCurrentCopyWriteText, written.problem()),
                         Sjis(msg::kCurrentCopyCaption));
        return false;
    }
    return true;
}

}  // namespace qm
