// The engine tests' program folder: one set "diary" with monthly pages from
// WEB/original.html, a log page and a current copy, the clock on 2003-02-05
// (page diary03-Feb.html); a host that records what the engine shows.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/generate.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/files.h"
#include "settings/active_config.h"
#include "support/diary_folder.h"
#include "support/recording_host.h"

namespace qm::test {

namespace fs = std::filesystem;

// A test's own path (UTF-8) as the file functions take it.
inline NativePath N(const std::string& path) { return NativePath(path); }

inline std::string Said(std::string_view text, std::string_view caption) {
    return std::string(text) + "|" + std::string(caption);
}

inline const std::string kFolderPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

class DiaryFolder : public ::testing::Test {
  protected:
    explicit DiaryFolder(std::string_view webName = "web/") : web_(dir_ / webName) {
        clock_.Set("2003-02-05 21:05:09");
        fs::create_directory(FsPath(web_));
        dir_.WriteSystemIni("[INI]\n0=diary\n");
        dir_.WriteSet("diary", std::string(webName) + "original.html", "templet.txt",
                      "LOG=" + Web("log.html") + "\nEDIT=1\nCURRENT=1\n");
        WriteBytes(Web("original.html"), kFolderPrototype);
        WriteBytes(Web("log.html"), kLogMarker);
        WriteBytes(dir_ / "templet.txt", "<h3>*!</h3>*?");
        InitConfig(config_, dir_.dir());
    }
    void SetKey(std::string_view key, std::string_view value) {
        ASSERT_TRUE(WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value));
    }
    GenerateResult Generate(std::string title = "t") {
        input_.title = std::move(title);
        input_.body = "b";
        return GenerateCommand(config_, run_, input_, host_);
    }
    std::string Web(std::string_view name) const { return web_ + std::string(name); }
    std::string Page(std::string_view name = "diary03-Feb.html") const {
        return ReadBytes(Web(name));
    }
    Files Snapshot() const { return dir_.Snapshot(); }
    // The messages shown so far, one per line, for a search.
    std::string Shown() const {
        std::string all;
        for (const auto& m : host_.messages) all += m + "\n";
        return all;
    }
    bool ShownHas(const std::string& text) const { return Shown().find(text) != std::string::npos; }
    // Generate fails, says `expected` and leaves every file as it was.
    void FailsTouchingNothing(const std::string& what, const std::string& expected) {
        const auto before = Snapshot();
        host_.messages.clear();
        EXPECT_EQ(Generate(), GenerateResult::Failed) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        EXPECT_TRUE(ShownHas(expected)) << what << "\n" << Shown();
    }

    ProgramFolder dir_;
    FixedClock& clock_ = dir_.clock;
    std::string web_;
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

}  // namespace qm::test
