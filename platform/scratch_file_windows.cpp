#include <io.h>

#include <cerrno>
#include <random>

#include "platform/files.h"
#include "platform/scratch_file.h"
#include "platform/system_io.h"
#include "platform/windows_files.h"

namespace qm {

FileStatus ReplaceScratchFile(std::string_view cp932Path, std::string_view content) {
    auto path = NativePathOf(cp932Path);
    if (!path) return path.problem();
    const std::string& fsPath = path->str();
    const auto slash = fsPath.find_last_of("/\\");
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937 random(std::random_device{}() ^ ::GetCurrentProcessId());
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = fsPath.substr(0, nameAt) + "." + fsPath.substr(nameAt) + ".";
        for (int i = 0; i < 6; ++i) temp += kLetters[random() % (sizeof kLetters - 1)];
        const auto wide = WidePathOf(temp);
        if (!wide) return SystemProblem(fsPath, ENOENT);
        fd = OpenShared(*wide, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return SystemProblem(fsPath, errno);
    bool ok = WriteAll(fd, content.data(), content.size());
    int error = errno;
    ::_close(fd);
    const auto from = WidePathOf(temp);
    const auto to = WidePathOf(fsPath);
    if (ok && from && to && ReplaceNamedFile(*from, *to)) return {};
    if (ok) error = errno;
    if (from) ::DeleteFileW(from->c_str());
    return SystemProblem(fsPath, error);
}

}  // namespace qm
