// `generate --upload` hands the upload tool every changed file as one
// argument each, whatever its name holds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "example_folder.h"
#include "settings/profile.h"

namespace qm::test {
namespace {

class UploadLaunch : public ExampleFolder {
  protected:
    // A stand-in upload tool that writes its arguments, one a line, once it has them all.
    std::string StandIn() {
        const std::string tool = outputs_ / "uploader.sh";
        WriteBytes(tool,
                   "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\"\n"
                   "mv \"$0.part\" \"$0.args\"\n");
        ::chmod(tool.c_str(), 0755);
        return tool;
    }
    std::string ArgumentsOf(const std::string& tool) {
        for (int i = 0; i < 500 && !std::filesystem::exists(tool + ".args"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ReadBytes(tool + ".args");
    }
};

TEST_F(UploadLaunch, AnImagePathWithQuotesBlanksAndJapaneseStaysOneArgument) {
    const std::string tool = StandIn();
    ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "FILEPATH", "FTP", tool));
    const std::string image = outputs_ / "pic\" \"QMsys.ini\" \"--batch\" \"写真 1.jpg";
    ASSERT_EQ(Run({"generate", "--upload", "--title", "t", "--body", "b", "--image", image}), 0)
        << stderr_;
    // The new page, the log page that now links it, the image, the current copy.
    EXPECT_EQ(ArgumentsOf(tool), (dir_ / "diary26-Dec.html\n") + "log.html\n" + image + "\n" +
                                     (dir_ / "diary-current.html\n"));
}

}  // namespace
}  // namespace qm::test
