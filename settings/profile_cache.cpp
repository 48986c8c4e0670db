#include "settings/profile_cache.h"

#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/pinned_profile.h"

namespace qm {

namespace {

// A handful of settings files are in use at a time; a long run that visits
// many (tests, a set manager) must not hold them all.
constexpr std::size_t kMostFilesKept = 32;

struct KeptFile {
    FileStamp stamp;
    std::string bytes;
    ParsedSettings parsed;
    bool settled = false;  // read well after its last change: the stamp alone can tell
};

struct Cache {
    std::mutex mutex;
    std::map<std::pair<std::string, std::type_index>, KeptFile> files;
    std::size_t reads = 0;
    // Ordinary Linux file systems tick in milliseconds; FAT stamps even seconds.
    std::chrono::nanoseconds settleTime = std::chrono::seconds(2);

    // Whether a read at `readAt` came late enough after the file's last
    // change that any later change must show in its times.
    bool ReadWellAfterChange(const FileStamp& stamp, const timespec& readAt) const {
        const auto readAtNs =
            std::chrono::seconds(readAt.tv_sec) + std::chrono::nanoseconds(readAt.tv_nsec);
        return readAtNs - std::chrono::nanoseconds(stamp.changedNs) > settleTime;
    }
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

ParsedSettings ReadParsedSettings(std::string_view iniPath, std::type_index kind,
                                  const std::function<ParsedSettings(std::string_view)>& parse) {
    auto fsPath = ToFsPath(iniPath);
    if (!fsPath || fsPath->empty()) return nullptr;
    Cache& cache = TheCache();
    const auto key = std::make_pair(*fsPath, kind);

    // A pinned file answers from its pin: parsed again only when the pinned
    // bytes change (a write through the store).
    if (const auto* pin = FindPin(iniPath)) {
        if (!*pin) return nullptr;
        std::lock_guard<std::mutex> lock(cache.mutex);
        auto kept = cache.files.find(key);
        if (kept != cache.files.end() && kept->second.bytes == **pin) return kept->second.parsed;
        if (kept == cache.files.end() && cache.files.size() >= kMostFilesKept) cache.files.clear();
        // Unsettled: once the pin is gone the file itself is read and compared.
        KeptFile pinned{FileStamp{}, **pin, parse(**pin)};
        return cache.files.insert_or_assign(key, std::move(pinned)).first->second.parsed;
    }

    timespec readAt{};
    ::clock_gettime(CLOCK_REALTIME, &readAt);
    // Taken before the bytes are read: should the file change in between,
    // the next read sees other times and reads again.
    const auto stamp = StampOfFile(iniPath);
    if (!stamp) {
        std::lock_guard<std::mutex> lock(cache.mutex);
        cache.files.erase(key);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        auto kept = cache.files.find(key);
        if (kept != cache.files.end() && kept->second.settled && kept->second.stamp == *stamp) {
            return kept->second.parsed;
        }
    }

    auto bytes = ReadFileBytes(iniPath);
    std::lock_guard<std::mutex> lock(cache.mutex);
    ++cache.reads;
    if (!bytes) {
        cache.files.erase(key);
        return nullptr;
    }
    auto kept = cache.files.find(key);
    if (kept == cache.files.end() || kept->second.bytes != *bytes) {
        if (kept == cache.files.end() && cache.files.size() >= kMostFilesKept) cache.files.clear();
        ParsedSettings parsed = parse(*bytes);
        kept = cache.files.insert_or_assign(key, KeptFile{*stamp, std::move(*bytes), parsed}).first;
    }
    kept->second.stamp = *stamp;
    kept->second.settled = cache.ReadWellAfterChange(*stamp, readAt);
    return kept->second.parsed;
}

std::size_t SettingsFileReads() {
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    return cache.reads;
}

void SetSettingsSettleTime(std::chrono::nanoseconds time) {
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.settleTime = time;
}

}  // namespace qm
