// A program folder with one set "diary": monthly pages from web/original.html,
// a log page and a current copy, the clock on 2003-02-05. The page of that
// month is web/diary03-Feb.html.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/generate.h"
#include "fake_host.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm::test {

inline const std::string kFolderPrototype =
    "<html>\r\n" + Sjis("<!-- ここに挿入 -->") + "\r\n</html>";

class DiaryFolder : public ::testing::Test {
  protected:
    DiaryFolder() : clock_("2003-02-05 21:05:09") {
        std::filesystem::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", web_ + "original.html");
        SetKey("TEMPLET", dir_ / "templet.txt");
        SetKey("LOG", web_ + "log.html");
        SetKey("EDIT", "1");
        SetKey("CURRENT", "1");
        WriteBytes(web_ + "original.html", kFolderPrototype);
        WriteBytes(web_ + "log.html", Sjis("<!-- ここにログ -->"));
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
    std::string Page() const { return ReadBytes(Web("diary03-Feb.html")); }
    // The messages shown so far, one per line, for a search.
    std::string Shown() const {
        std::string all;
        for (const auto& m : host_.messages) all += m + "\n";
        return all;
    }

    TempDir dir_;
    FixedClock clock_;
    std::string web_ = dir_ / "web/";
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

}  // namespace qm::test
