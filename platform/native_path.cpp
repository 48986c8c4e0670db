#include "platform/native_path.h"

#include "platform/path_text.h"

namespace qm {

FileResult<NativePath> NativePathOf(std::string_view storedCp932) {
    auto fsPath = ToFsPath(storedCp932);
    if (!fsPath || fsPath->empty()) {
        return Refusal(fsPath.value_or(std::string()),
                       fsPath ? "no file name" : "the name is not valid Shift-JIS");
    }
    return NativePath(std::move(*fsPath));
}

}  // namespace qm
