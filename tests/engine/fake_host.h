// The engine tests' host, which records what the engine shows and may script
// the path settings dialog, and a fixed clock.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "settings/active_config.h"

namespace qm::test {

class FakeHost : public Host {
  public:
    std::vector<std::string> messages;                // "text|caption" in UTF-8
    std::function<void(ActiveConfig&)> pathSettings;  // unset: this host has no dialog

    void ShowMessage(std::string_view text, std::string_view caption) override {
        messages.push_back(Cp932ToUtf8(text).value_or("?") + "|" +
                           Cp932ToUtf8(caption).value_or("?"));
    }
    bool OpenPathSettings(ActiveConfig& config) override {
        if (pathSettings) pathSettings(config);
        return static_cast<bool>(pathSettings);
    }
    bool OpenSetManager(ActiveConfig&) override { return false; }
    StartResult StartProgram(std::string_view, std::string_view) override {
        return StartResult::Started;
    }
};

inline std::string Said(std::string_view text, std::string_view caption) {
    return std::string(text) + "|" + std::string(caption);
}

inline std::tm Tm(std::string_view localTime) { return ParseLocalTime(localTime).value(); }

struct FixedClock {
    explicit FixedClock(std::string_view localTime) { Set(localTime); }
    ~FixedClock() { SetFixedClock(std::nullopt); }
    void Set(std::string_view localTime) { SetFixedClock(Tm(localTime)); }
};

}  // namespace qm::test
