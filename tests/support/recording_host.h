// A host that records what the engine shows, in UTF-8, and answers every
// question as a host without dialogs would.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "platform/encoding.h"

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
    StartResult StartProgram(std::string_view, const std::vector<std::string>&,
                             StartWait) override {
        return StartResult::Started;
    }
};

}  // namespace qm::test
