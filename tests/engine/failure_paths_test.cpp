// The generate flow when files are missing, locked, folders or cannot be
// written, and after a run that was killed: what is kept, what is said.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine/generate.h"
#include "fake_host.h"
#include "platform/files.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "support/write_limit.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = Sjis("<!-- ここに挿入 -->");
const std::string kLogMarker = Sjis("<!-- ここにログ -->");
const std::string kPrototype = "<html>\r\n" + kMarker + "\r\n</html>";

// Every file under `dir`, a folder standing as "<dir>".
std::map<std::string, std::string> Tree(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        files[entry.path()] = entry.is_directory() ? "<dir>" : ReadBytes(entry.path());
    return files;
}

// The message `text` with `caption`, naming `file` (with the system's answer)
// on a line of its own; an empty `file`: nothing more than the text.
bool Says(const std::string& said, std::string_view text, std::string_view caption,
          const std::string& file) {
    const std::string tail = "|" + std::string(caption);
    if (file.empty()) return said == std::string(text) + tail;
    return said.starts_with(std::string(text) + "\r\n" + file + ": ") && said.ends_with(tail);
}

// One set "diary", monthly, with a log page and a current copy in web/.
class FailurePaths : public ::testing::Test {
  public:
    FailurePaths() : clock_("2003-02-05 21:05:09") {
        fs::create_directory(web_);
        WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=diary\r\n");
        SetKey("ORIGINAL", original_);
        SetKey("TEMPLET", template_);
        SetKey("LOG", log_);
        SetKey("EDIT", "1");
        SetKey("CURRENT", "1");
        WriteBytes(original_, kPrototype);
        WriteBytes(template_, "<h3>*!</h3>");
        WriteBytes(log_, kLogMarker);
        WriteBytes(entryFile_, "old entry");
        InitConfig(config_, dir_.dir());
    }
    void SetKey(std::string_view key, std::string_view value) {
        ASSERT_TRUE(WriteProfileString(dir_ / "diary.ini", "FILEPATH", key, value));
    }
    GenerateResult Generate() {
        input_.title = "new";
        return GenerateCommand(config_, run_, input_, host_);
    }
    static void MakeFolder(const std::string& path) {
        fs::remove(path);
        fs::create_directory(path);
    }

    TempDir dir_;
    FixedClock clock_;
    const std::string web_ = dir_ / "web/";
    const std::string original_ = web_ + "original.html";
    const std::string page_ = web_ + "diary03-Feb.html";
    const std::string log_ = web_ + "log.html";
    const std::string template_ = dir_ / "templet.txt";
    const std::string entryFile_ = dir_ / "temp.tmp";
    ActiveConfig config_;
    RunState run_;
    EntryInput input_;
    FakeHost host_;
};

// What a row arranges, kept alive while the run goes (a lock, a size limit).
using Arrange = std::function<std::shared_ptr<void>(FailurePaths&)>;

std::shared_ptr<void> Hold(const std::string& path) {
    return std::make_shared<LockedFile>(*LockedFile::Open(path, LockedFile::Mode::OpenExisting));
}

TEST_F(FailurePaths, CompositionFailuresKeepTheOldEntryFileAndThePage) {
    WriteBytes(page_, kPrototype);
    const std::string filler(8192, 'x');
    const struct {
        const char* what;
        Arrange arrange;
        std::string file;
        std::string_view text, caption;
    } rows[] = {
        // A missing template is made, empty: nothing failed but the user's text.
        {"template missing", [](auto& f) { return fs::remove(f.template_), nullptr; }, "",
         msg::kReadFailedText, msg::kReadFailedCaption},
        {"template empty", [](auto& f) { return WriteBytes(f.template_, ""), nullptr; }, "",
         msg::kReadFailedText, msg::kReadFailedCaption},
        {"template a folder", [](auto& f) { return MakeFolder(f.template_), nullptr; }, template_,
         msg::kTemplateOpenText, msg::kTemplateOpenCaption},
        {"template locked", [](auto& f) { return Hold(f.template_); }, template_,
         msg::kTemplateOpenText, msg::kTemplateOpenCaption},
        {"entry file locked", [](auto& f) { return Hold(f.entryFile_); }, entryFile_,
         msg::kWriteFailedText, msg::kWriteFailedCaption},
        {"disk full",
         [&](auto& f) {
             WriteBytes(f.template_, filler);
             return std::make_shared<FileSizeLimit>(4096);
         },
         entryFile_, msg::kWriteFailedText, msg::kWriteFailedCaption},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteBytes(template_, "<h3>*!</h3>");
        {
            auto held = row.arrange(*this);
            EXPECT_EQ(Generate(), GenerateResult::Failed);
        }
        EXPECT_TRUE(Says(host_.messages.back(), row.text, row.caption, row.file))
            << host_.messages.back();
        EXPECT_EQ(ReadBytes(entryFile_), "old entry");
        EXPECT_EQ(ReadBytes(page_), kPrototype);
        fs::remove_all(template_);
    }
}

TEST_F(FailurePaths, LogPageFailuresStillMakeThePageAndWriteTheEntry) {
    const std::string bigLog = std::string(8192, 'x') + kLogMarker;
    const struct {
        const char* what;
        Arrange arrange;
        std::string file;
        std::string_view text, caption;
    } rows[] = {
        {"missing", [](auto& f) { return fs::remove(f.log_), nullptr; }, log_, msg::kLogOpenText,
         msg::kLogOpenCaption},
        {"a folder", [](auto& f) { return MakeFolder(f.log_), nullptr; }, log_, msg::kLogOpenText,
         msg::kLogOpenCaption},
        {"no marker", [](auto& f) { return WriteBytes(f.log_, "<html></html>"), nullptr; }, "",
         msg::kLogNoMarkerText, msg::kLogNoMarkerCaption},
        {"write fails",
         [&](auto& f) {
             WriteBytes(f.log_, bigLog);  // only the log page outgrows the limit
             return std::make_shared<FileSizeLimit>(bigLog.size() + 20);
         },
         log_, msg::kLogOpenText, msg::kLogOpenCaption},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteBytes(log_, kLogMarker);
        fs::remove(page_);
        run_ = RunState{};
        std::string logBefore;
        {
            auto held = row.arrange(*this);
            logBefore = Tree(dir_.dir())[log_];
            ASSERT_EQ(Generate(), GenerateResult::Written);
        }
        EXPECT_NE(ReadBytes(page_).find("<h3>new</h3>"), std::string::npos);
        EXPECT_TRUE(Tree(dir_.dir())[log_] == logBefore) << "the log page is left as it was";
        EXPECT_FALSE(run_.logUpdated);
        EXPECT_TRUE(Says(host_.messages.back(), row.text, row.caption, row.file))
            << host_.messages.back();
        fs::remove_all(log_);
    }
}

TEST_F(FailurePaths, ARollOverThatCannotCopyThePrototypeWritesNothing) {
    WriteBytes(dir_ / "QMgenerate.lock", "");  // the lock every run takes
    for (const Arrange& arrange :
         {Arrange([](auto& f) { return fs::remove(f.original_), nullptr; }),
          Arrange([](auto& f) { return MakeFolder(f.original_), nullptr; })}) {
        arrange(*this);
        host_.messages.clear();
        const auto before = Tree(dir_.dir());
        EXPECT_EQ(Generate(), GenerateResult::Failed);
        EXPECT_EQ(Tree(dir_.dir()), before) << "no page, no link, no entry, no record";
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_TRUE(Says(host_.messages[0],
                         original_ + " -> " + page_ + std::string(msg::kRollOverFailedText),
                         msg::kRollOverFailedCaption, original_))
            << host_.messages[0];
    }
}

TEST_F(FailurePaths, ARunKilledAfterTheLinkMakesThePageWithoutASecondLink) {
    const std::string linked = kLogMarker + "\r\n<a href =diary03-Feb.html>x</a><BR>";
    WriteBytes(log_, linked);
    ASSERT_EQ(Generate(), GenerateResult::Written);
    EXPECT_EQ(ReadBytes(log_), linked);
    EXPECT_TRUE(run_.logUpdated) << "the log page still has to be uploaded";
    EXPECT_NE(ReadBytes(page_).find("<h3>new</h3>"), std::string::npos);
}

TEST_F(FailurePaths, TheNextRunRemovesOnlyItsOwnLeftoverTemporaries) {
    const std::vector<std::string> own = {web_ + ".diary03-Jan.html.Ab12Cd",
                                          web_ + ".diary03-Jan-first.html.abcdef",
                                          web_ + ".diary04-Jan-00.html.abcdef",
                                          web_ + ".diary-current.html.zzzzzz",
                                          web_ + ".log.html.a1B2c3",
                                          dir_ / ".temp.tmp.abcdef",
                                          dir_ / ".diary.ini.QWERTY"};
    const std::vector<std::string> others = {
        web_ + ".notes.html.abcdef",      web_ + ".diary03-Jxn.html.abcdef",
        web_ + ".diary03-Jan.html.abc",   dir_ / ".temp.tmp.ab-cde",
        web_ + "diary03-Jan.html.abcdef", dir_ / ".templet.txt.abcdef"};
    for (const auto& path : own) WriteBytes(path, "half");
    for (const auto& path : others) WriteBytes(path, "user's");
    ASSERT_EQ(Generate(), GenerateResult::Written);
    for (const auto& path : own) EXPECT_FALSE(fs::exists(path)) << path;
    for (const auto& path : others) EXPECT_EQ(ReadBytes(path), "user's") << path;
}

TEST_F(FailurePaths, AnEmptyTemplatePathStopsBeforeTheEntryUnlessTheSettingsMendIt) {
    SetKey("TEMPLET", "");
    EXPECT_EQ(Generate(), GenerateResult::Failed);
    EXPECT_EQ(host_.messages.back(), Said(msg::kPathsEmptyText, msg::kSettingsCaption));
    EXPECT_EQ(ReadBytes(entryFile_), "old entry");
    EXPECT_EQ(ReadBytes(page_), kPrototype) << "rolled over, but no entry";

    host_.pathSettings = [this](ActiveConfig& config) { config.templatePath = template_; };
    EXPECT_EQ(Generate(), GenerateResult::Written);
}

}  // namespace
}  // namespace qm::test
