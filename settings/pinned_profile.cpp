#include "settings/pinned_profile.h"

#include <sys/stat.h>

#include <cerrno>
#include <map>

#include "platform/files.h"
#include "platform/path_text.h"

namespace qm {

namespace {

// Path -> bytes (std::nullopt for a file that is not there). Per thread, as
// the windows may read settings on other threads.
using Pins = std::map<std::string, std::optional<std::string>, std::less<>>;
thread_local Pins pins;

bool IsMissing(std::string_view iniPath) {
    auto fsPath = ToFsPath(iniPath);
    struct stat st {};
    return fsPath && ::stat(fsPath->c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace

PinnedProfile::PinnedProfile(std::string iniPath) : path_(std::move(iniPath)) {
    if (pins.count(path_) != 0) return;
    auto bytes = ReadFileBytes(path_);
    readable_ = bytes || IsMissing(path_);
    if (!readable_) return;
    pins.emplace(path_, std::move(bytes));
    owner_ = true;
}

PinnedProfile::~PinnedProfile() {
    if (owner_) pins.erase(path_);
}

std::optional<std::string> ReadSettingsBytes(std::string_view iniPath) {
    auto pinned = pins.find(iniPath);
    return pinned != pins.end() ? pinned->second : ReadFileBytes(iniPath);
}

const std::optional<std::string>* FindPin(std::string_view iniPath) {
    auto pinned = pins.find(iniPath);
    return pinned != pins.end() ? &pinned->second : nullptr;
}

void RepinWrittenBytes(std::string_view iniPath, std::string_view bytes) {
    auto pinned = pins.find(iniPath);
    if (pinned != pins.end()) pinned->second = std::string(bytes);
}

}  // namespace qm
