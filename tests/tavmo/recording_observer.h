// Records what an upload run reported, and can act in the middle of a file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tavmo/transfer.h"

namespace qm::test {

class RecordingObserver : public tavmo::ProgressObserver {
  public:
    std::vector<std::string> started;
    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;
    bool cancel = false;
    // Called on each progress report while `name` is being sent.
    std::string actDuring;
    std::uint64_t actAfterBytes = 0;
    std::function<void()> action;

    void FileStarted(const tavmo::UploadItem& item) override {
        started.push_back(item.name);
        current_ = item.name;
        startDone_ = lastDone;
    }
    void BytesSent(std::uint64_t done, std::uint64_t total) override {
        lastDone = done;
        lastTotal = total;
        if (action && current_ == actDuring && done - startDone_ >= actAfterBytes) {
            auto once = std::move(action);
            action = nullptr;
            once();
        }
    }
    bool CancelRequested() override { return cancel; }

  private:
    std::string current_;
    std::uint64_t startDone_ = 0;
};

}  // namespace qm::test
