// Whether a name can become a file name in a folder the program knows: a
// configuration set's name is the base name of its file beside the program,
// and the current copy's name a file in the diary folder. A name that
// reaches another folder, or a file that can never be written, is refused.
#pragma once

#include <string>
#include <string_view>

#include "platform/native_path.h"

namespace qm {

enum class FileNameVerdict {
    Usable,
    Empty,
    Reserved,     // "QMsys" in any case: that file is the system settings file
    NotCp932,     // the bytes are not valid Shift-JIS
    Separator,    // '/' or '\' would put the file into another folder
    DotsOnly,     // "." or ".."
    Control,      // a tab, a line end or another control character
    BlankEdge,    // a blank at either end does not survive the settings file
    TooLong,      // more than the setting holds, or a file name over the system's limit
    PathTooLong,  // the whole path of the set's file is over the system's limit
};

// The rules of every plain file name: not empty, valid Shift-JIS, no control
// character, no separator, not "." or "..", within the system's limit for
// one name (`suffix` is appended to it on disk).
FileNameVerdict CheckPlainFileName(std::string_view nameCp932, std::string_view suffix = {});

// A set's name as it would be stored in list INI, or as it is read from
// there; `programDirCp932` ends in '/'.
FileNameVerdict CheckSetName(std::string_view nameCp932, std::string_view programDirCp932);
// The same where the set file's name for the file system (programDir + name +
// ".ini", converted) is at hand already.
FileNameVerdict CheckSetName(std::string_view nameCp932, const FileResult<NativePath>& iniPath);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace qm
