// Temporary files that a killed write left behind. Every safe write here goes
// through "." + name + "." + six letters or digits beside its target (see
// files.cpp), so such a file is this program's own and never the user's.
#pragma once

#include <functional>
#include <string_view>

#include "platform/native_path.h"

namespace qm {

// Removes, in the folder `folder` (empty: the working folder), every
// regular file named as a temporary of a target whose name `isOwnTarget`
// accepts (code page 932), unless its writer still holds its lock (a run of
// another program folder writing in the same folder). Returns how many were
// removed.
int RemoveTemporariesLeftIn(const NativePath& folder,
                            const std::function<bool(std::string_view)>& isOwnTarget);

}  // namespace qm
