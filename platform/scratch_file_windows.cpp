#include <io.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/scratch_file.h"
#include "platform/system_io.h"
#include "platform/windows_files.h"

namespace qm {

FileStatus ReplaceScratchFile(const NativePath& path, std::string_view content) {
    const std::string& fsPath = path.str();
    std::string temp;
    auto created = CreateTempBeside(fsPath, temp);
    if (!created) return created.problem();
    const int fd = *created;
    if (!WriteAll(fd, content.data(), content.size())) {
        const int error = errno;
        ::_close(fd);
        if (const auto from = WidePathOf(temp)) ::DeleteFileW(from->c_str());
        return SystemProblem(fsPath, error);
    }
    if (MoveTempIntoPlace(fd, temp, fsPath, /*replace=*/true)) return {};
    return SystemProblem(fsPath, errno);
}

}  // namespace qm
