// The engine tests' stand-ins: a host that records what the engine shows and
// starts and scripts the settings dialogs, a fixed clock, and a folder in
// which no file can be made.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "settings/active_config.h"
#include "support/write_limit.h"

namespace qm::test {

inline std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932).value_or("(bad)"); }

class FakeHost : public Host {
  public:
    struct Message {
        std::string text;  // code page 932, as the engine gives it
        std::string caption;
    };
    std::vector<Message> messages;
    std::vector<std::string> programs, parameters;
    StartResult startResult = StartResult::Started;
    // Each call is one visit of the dialog; without a script the host has none.
    std::function<bool(ActiveConfig&)> pathSettings, setManager;
    int pathSettingsVisits = 0, setManagerVisits = 0;

    void ShowMessage(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    bool OpenPathSettings(ActiveConfig& config) override {
        ++pathSettingsVisits;
        return pathSettings && pathSettings(config);
    }
    bool OpenSetManager(ActiveConfig& config) override {
        ++setManagerVisits;
        return setManager && setManager(config);
    }
    StartResult StartProgram(std::string_view program, std::string_view params) override {
        programs.emplace_back(program);
        parameters.emplace_back(params);
        return startResult;
    }
    // How many messages had this caption (given in UTF-8).
    int CountCaption(std::string_view captionUtf8) const {
        int count = 0;
        for (const auto& m : messages) count += m.caption == Sjis(captionUtf8) ? 1 : 0;
        return count;
    }
    // The only message shown, "text|caption" in UTF-8, or how many there were.
    std::string Only() const {
        if (messages.size() != 1) return std::to_string(messages.size()) + " messages";
        return Utf8(messages[0].text) + "|" + Utf8(messages[0].caption);
    }
};

inline std::string Said(std::string_view text, std::string_view caption) {
    return std::string(text) + "|" + std::string(caption);
}

inline std::tm Tm(std::string_view localTime) {
    auto parsed = ParseLocalTime(localTime);
    if (!parsed) std::abort();  // a typo in a test
    return *parsed;
}

// Every clock reading returns the given time until the guard goes away.
struct FixedClock {
    explicit FixedClock(std::string_view localTime) { Set(localTime); }
    ~FixedClock() { SetFixedClock(std::nullopt); }
    void Set(std::string_view localTime) { SetFixedClock(Tm(localTime)); }
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
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        if (fd >= 0) ::close(fd);
    }
    std::string folder_;
    bool immutable_ = false, works_ = false;
};

inline bool OwnerCanWrite(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

}  // namespace qm::test
