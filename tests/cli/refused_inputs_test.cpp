// What the command line refuses, quickly and writing nothing: body files that
// are not text, FIFOs and devices where files belong, empty arguments, a set
// name that would reach another folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "example_folder.h"
#include "settings/profile.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RefusedInputs : public ExampleFolder {
  protected:
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (auto& e : fs::recursive_directory_iterator(dir_.dir())) {
            if (e.path().filename() == "QMgenerate.lock") continue;
            files[e.path().string()] = e.is_regular_file() ? ReadBytes(e.path().string()) : "";
        }
        return files;
    }
    std::string Fifo(const std::string& name) {
        const std::string path = outputs_ / name;
        ::mkfifo(path.c_str(), 0644);
        return path;
    }
};

TEST_F(RefusedInputs, BodyFilesThatAreNotTextAndEmptyNamesAreUsageErrors) {
    WriteBytes(outputs_ / "nul.txt", std::string("before\0after", 12));
    WriteBytes(outputs_ / "overlong.txt", "slash \xC0\xAF here");
    WriteBytes(outputs_ / "surrogate.txt", "half \xED\xA0\x80 a pair");
    const std::pair<std::string, std::string> rows[] = {
        {"--body-file=" + (outputs_ / "nul.txt"), "holds a NUL byte"},
        {"--body-file=" + (outputs_ / "overlong.txt"), "the body is not valid UTF-8"},
        {"--body-file=" + (outputs_ / "surrogate.txt"), "the body is not valid UTF-8"},
        {"--body-file=" + Fifo("body-fifo"), "not a regular file"},
        {"--body-file=/dev/zero", "not a regular file"},
        {"--body-file=", "--body-file needs a file"},
    };
    const auto before = Snapshot();
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [arg, why] : rows) {
        EXPECT_EQ(Run({"generate", "--title", "t", arg}), 2) << arg;
        EXPECT_NE(stderr_.find(why), std::string::npos) << arg << "\n" << stderr_;
    }
    EXPECT_EQ(Run({"generate", "--title", "t", "--body", "\xED\xBF\xBF"}), 2);
    EXPECT_EQ(Run({"generate", "--title", "\xC0\xAF", "--body", "b"}), 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Run({"edit", ""}), 2);
    EXPECT_NE(stderr_.find("usage: quillmaker edit FILE"), std::string::npos) << stderr_;
}

TEST_F(RefusedInputs, AFifoOrADeviceAsTheTemplateFailsAtOnceAlsoInADryRun) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& templet : {Fifo("templet-fifo"), std::string("/dev/zero")}) {
        ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "FILEPATH", "TEMPLET", templet));
        const auto before = Snapshot();
        EXPECT_EQ(Run({"generate", "--dry-run", "--title", "t", "--body", "b"}), 1) << templet;
        EXPECT_NE(stderr_.find("not a regular file"), std::string::npos) << stderr_;
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(Run({"generate", "--title", "t", "--body", "b"}), 1) << templet;
        EXPECT_NE(stderr_.find("テンプレート開けないよ？: テンプレート開けない\n" + templet +
                               ": not a regular file\n"),
                  std::string::npos)
            << stderr_;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(RefusedInputs, ASetNameReachingAnotherFolderIsNeverOpened) {
    fs::create_directory(outputs_ / "outside");
    WriteBytes(dir_ / "QMsys.ini", "[INI]\r\n0=../" +
                                       fs::path(outputs_.dir()).parent_path().filename().string() +
                                       "/outside/evil\r\n");
    const auto before = Snapshot();
    EXPECT_EQ(Run({"generate", "--title", "t", "--body", "b"}), 1);
    EXPECT_NE(stderr_.find("このセットは使えません"), std::string::npos) << stderr_;
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(fs::is_empty(outputs_ / "outside"));
    EXPECT_EQ(Run({"generate", "--dry-run", "--title", "t", "--body", "b"}), 1);
    EXPECT_TRUE(fs::is_empty(outputs_ / "outside"));
}

}  // namespace
}  // namespace qm::test
