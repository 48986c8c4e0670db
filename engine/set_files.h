// Whether a configuration set can be read at all. A set whose name is not a
// plain file name is shown in the lists but its file is never touched; a
// settings file that exists but cannot be read never stands for the defaults.
#pragma once

#include <string_view>

namespace qm {

struct ActiveConfig;
class Host;

// QMsys.ini and the set's file (programDir + setName + ".ini") are each
// missing (the defaults apply) or readable regular files, and `setName`
// passes the set manager's rules. False after a message saying which file or
// name and why.
bool SetFilesUsable(const ActiveConfig& config, std::string_view setName, Host& host);

}  // namespace qm
