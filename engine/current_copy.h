// The current copy: a fixed-name copy of the newest page in the diary folder.
// Its name is a plain file name there and never one of the program's own
// files nor one of the user's, so a copy can only ever replace itself.
#pragma once

#include <string_view>

#include "engine/page_writes.h"
#include "settings/file_name_rules.h"

namespace qm {

struct ActiveConfig;
class Host;

enum class CurrentNameVerdict {
    Usable,
    BadName,      // not a plain file name (see `plain`)
    ProgramFile,  // QMsys.ini, a set file (any ".ini"), temp.tmp or the lock file
    UserFile,     // the diary page, the prototype, the log page or the template
    Outside,      // a symbolic link to a file in another folder
};

struct CurrentNameCheck {
    CurrentNameVerdict verdict = CurrentNameVerdict::Usable;
    FileNameVerdict plain = FileNameVerdict::Usable;
    bool usable() const { return verdict == CurrentNameVerdict::Usable; }
};

// Whether `nameCp932` may name the current copy in config.diaryFolder, given
// the paths of `config`. The program's own names are refused in any folder
// and in any letter case, so a later change of folders cannot turn a name bad.
CurrentNameCheck CheckCurrentName(const ActiveConfig& config, std::string_view nameCp932);

// Whether `nameCp932`, at `path` in config.diaryFolder, may name a file the
// program writes there: a plain name shorter than `capacity` bytes, not one of
// the program's own, not a file of the set's (nor `sibling`, the other file
// the program keeps there), not a link leading out of the folder.
CurrentNameCheck CheckDiaryFolderFile(const ActiveConfig& config, std::string_view nameCp932,
                                      const FileResult<NativePath>& path, std::size_t capacity,
                                      const FileResult<NativePath>& sibling);

// CheckCurrentName for config.currentName, on the set's paths as they were
// read (config.native).
CurrentNameCheck CheckCurrentCopy(const ActiveConfig& config);

// Why the name was refused, in UTF-8 (a line under a message).
std::string_view CurrentNameReason(const CurrentNameCheck& check);

// The reason for a plain-name verdict other than Usable, in UTF-8.
std::string_view FileNameReason(FileNameVerdict verdict);

// Refreshes the current copy (step 4 of the generate flow) with the entry
// just written into the diary page, which `page` says how it was written; a
// name that is refused and a copy that cannot be written are reported and the
// flow goes on. True when a copy was written.
bool RefreshCurrentCopy(const ActiveConfig& config, std::string_view entryText, PageWrite page,
                        Host& host);

}  // namespace qm
