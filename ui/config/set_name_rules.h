// Whether a configuration set's name can be used: the name is also the base
// name of the set's file beside the program, and a set whose file can never
// be written would lose every setting made for it.
#pragma once

#include <string>
#include <string_view>

namespace qm {

enum class SetNameVerdict {
    Usable,
    Empty,
    Reserved,     // "QMsys" in any case: that file is the system settings file
    NotCp932,     // the bytes are not valid Shift-JIS
    Separator,    // '/' or '\' would put the file into another folder
    DotsOnly,     // "." or ".."
    Control,      // a tab, a line end or another control character
    BlankEdge,    // a blank at either end does not survive the settings file
    TooLong,      // more than 255 bytes, or a file name over the system's limit
    PathTooLong,  // the whole path of the set's file is over the system's limit
};

// `nameCp932` as it would be stored in list INI; `programDirCp932` ends in '/'.
SetNameVerdict CheckSetName(std::string_view nameCp932, std::string_view programDirCp932);

}  // namespace qm
