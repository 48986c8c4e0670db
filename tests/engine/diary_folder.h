// A program folder with one set "diary": monthly pages from WEB/original.html,
// a log page and a current copy, the clock on 2003-02-05 (the page of that
// month is diary03-Feb.html); and a folder's files as bytes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "engine/generate.h"
#include "fake_host.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm::test {

inline const std::string kMarker = Sjis("<!-- ここに挿入 -->");
inline const std::string kLogMarker = Sjis("<!-- ここにログ -->");
inline const std::string kFolderPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

// Every file under `dir` with its bytes (a folder or FIFO as ""), less the
// lock file every run leaves.
inline std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.path().filename() != "QMgenerate.lock")
            files[e.path()] = e.is_regular_file() ? ReadBytes(e.path()) : "";
    return files;
}

class DiaryFolder : public ::testing::Test {
  protected:
    explicit DiaryFolder(std::string_view webName = "web/")
        : clock_("2003-02-05 21:05:09"), web_(dir_ / webName) {
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        for (const auto& [key, value] :
             {std::pair<const char*, std::string>{"ORIGINAL", Sjis(web_) + "original.html"},
              {"TEMPLET", dir_ / "templet.txt"},
              {"LOG", Sjis(web_) + "log.html"},
              {"EDIT", "1"},
              {"CURRENT", "1"}})
            SetKey(key, value);
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
    std::map<std::string, std::string> Snapshot() const { return test::Snapshot(dir_.dir()); }
    // The messages shown so far, one per line, for a search.
    std::string Shown() const {
        std::string all;
        for (const auto& m : host_.messages) all += m + "\n";
        return all;
    }
    // Generate fails, says `expected` and leaves every file as it was.
    void FailsTouchingNothing(const std::string& what, const std::string& expected) {
        const auto before = Snapshot();
        host_.messages.clear();
        EXPECT_EQ(Generate(), GenerateResult::Failed) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        EXPECT_NE(Shown().find(expected), std::string::npos) << what << "\n" << Shown();
    }

    TempDir dir_;
    FixedClock clock_;
    std::string web_;
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

}  // namespace qm::test
