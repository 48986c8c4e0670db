// The engine tests' stand-ins: a host that records what the engine shows and
// starts and scripts the settings dialogs, a fixed clock, and ways to make
// writing fail the way a full disk or a read-only folder does.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "settings/active_config.h"

namespace qm::test {

class FakeHost : public Host {
  public:
    struct Message {
        std::string text;  // code page 932, as the engine gives it
        std::string caption;
    };
    struct Start {
        std::string program;
        std::string parameters;
    };

    std::vector<Message> messages;
    std::vector<Start> starts;
    StartResult startResult = StartResult::Started;

    // Each call runs one visit of the dialog; without a script the host has
    // no such dialog, like the command line.
    std::function<bool(ActiveConfig&)> pathSettings;
    std::function<bool(ActiveConfig&)> setManager;
    int pathSettingsVisits = 0;
    int setManagerVisits = 0;

    void ShowMessage(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    bool OpenPathSettings(ActiveConfig& config) override {
        ++pathSettingsVisits;
        return pathSettings ? pathSettings(config) : false;
    }
    bool OpenSetManager(ActiveConfig& config) override {
        ++setManagerVisits;
        return setManager ? setManager(config) : false;
    }
    StartResult StartProgram(std::string_view program, std::string_view parameters) override {
        starts.push_back({std::string(program), std::string(parameters)});
        return startResult;
    }

    // How many messages had this caption (given in UTF-8).
    int CountCaption(std::string_view captionUtf8) const {
        const std::string caption = Sjis(captionUtf8);
        int count = 0;
        for (const auto& m : messages) count += m.caption == caption ? 1 : 0;
        return count;
    }
};

inline std::tm Tm(std::string_view localTime) {
    auto parsed = ParseLocalTime(localTime);
    if (!parsed) std::abort();  // a typo in a test
    return *parsed;
}

// Every clock reading returns the given time until the guard goes away.
class FixedClock {
  public:
    explicit FixedClock(std::string_view localTime) { Set(localTime); }
    ~FixedClock() { SetFixedClock(std::nullopt); }
    void Set(std::string_view localTime) { SetFixedClock(Tm(localTime)); }
};

// Writes beyond `bytes` fail as on a full disk, for root as for anyone.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

// A folder in which no new file can be made: without write permission, or,
// for root, immutable. works() is false when neither could be arranged.
class UnwritableFolder {
  public:
    explicit UnwritableFolder(std::string folder) : folder_(std::move(folder)) {
        ::chmod(folder_.c_str(), 0555);
        if (CanCreate()) SetImmutable(true);
        works_ = !CanCreate();
    }
    ~UnwritableFolder() {
        if (immutable_) SetImmutable(false);
        ::chmod(folder_.c_str(), 0755);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool works() const { return works_; }

  private:
    bool CanCreate() const {
        const std::string probe = folder_ + "/.probe";
        int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0600);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    void SetImmutable(bool on) {
        int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        ::close(fd);
    }
    std::string folder_;
    bool immutable_ = false;
    bool works_ = false;
};

inline bool OwnerCanWrite(const std::string& fsPath) {
    struct stat st {};
    return ::stat(fsPath.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

}  // namespace qm::test
