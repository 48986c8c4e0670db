// A Host that records what it was asked to do and starts nothing.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/host.h"

namespace qm::test {

class RecordingHost : public Host {
  public:
    struct Start {
        std::string program;
        std::string parameters;
    };

    std::vector<std::pair<std::string, std::string>> messages;  // text, caption (Shift-JIS)
    std::vector<Start> starts;
    std::deque<StartResult> startResults;  // taken in order; Started when empty

    void ShowMessage(std::string_view text, std::string_view caption) override {
        messages.emplace_back(std::string(text), std::string(caption));
    }
    bool OpenPathSettings(ActiveConfig&) override { return false; }
    bool OpenSetManager(ActiveConfig&) override { return false; }
    StartResult StartProgram(std::string_view program, std::string_view parameters) override {
        starts.push_back({std::string(program), std::string(parameters)});
        if (startResults.empty()) return StartResult::Started;
        const StartResult result = startResults.front();
        startResults.pop_front();
        return result;
    }
};

}  // namespace qm::test
