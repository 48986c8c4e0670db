#include "platform/native_path.h"

#include "platform/path_text.h"

namespace qm {

FileProblem NoFileName() { return Refusal({}, "no file name"); }

FileResult<NativePath> NativePathOf(std::string_view storedCp932) {
    auto fsPath = ToFsPath(storedCp932);
    if (!fsPath) return Refusal({}, "the name is not valid Shift-JIS");
    if (fsPath->empty()) return NoFileName();
    return NativePath(std::move(*fsPath));
}

}  // namespace qm
