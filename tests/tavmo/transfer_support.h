// Shared by the transfer tests: a local folder of files to send, and an
// observer that records what a run reported and can act in the middle of a file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "tavmo/batch_run.h"
#include "tavmo/transfer.h"
#include "tavmo/upload_list.h"

namespace qm::test {

// Whether `text` holds every one of `parts`; shows the text when not.
inline ::testing::AssertionResult HasAll(const std::string& text,
                                         const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        if (text.find(part) == std::string::npos) {
            return ::testing::AssertionFailure() << "no \"" << part << "\" in: " << text;
        }
    }
    return ::testing::AssertionSuccess();
}

class RecordingObserver : public tavmo::ProgressObserver {
  public:
    std::vector<std::string> started;
    std::uint64_t lastDone = 0;
    bool cancel = false;
    // Run once while `actDuring` is sent, when the run is `actAfterBytes` along.
    std::string actDuring;
    std::uint64_t actAfterBytes = 0;
    std::function<void()> action;

    void FileStarted(const tavmo::UploadItem& item) override { started.push_back(item.name); }
    void BytesSent(std::uint64_t done, std::uint64_t /*total*/) override {
        lastDone = done;
        if (action && !started.empty() && started.back() == actDuring && done >= actAfterBytes) {
            std::exchange(action, nullptr)();
        }
    }
    bool CancelRequested() override { return cancel; }
    void CancelDuring(const std::string& name) {
        actDuring = name;
        action = [this] { cancel = true; };
    }
};

// Every file below `dir`, relative and sorted: what arrived, and nothing else.
inline std::vector<std::string> FilesBelow(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            names.push_back(std::filesystem::relative(entry.path(), dir).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TransferTest : public ::testing::Test {
  protected:
    std::string Local(const std::string& name, std::string_view content) {
        WriteBytes(local_ / name, content);
        return local_ / name;
    }

    TempDir local_;
    RecordingObserver observer_;
};

}  // namespace qm::test
