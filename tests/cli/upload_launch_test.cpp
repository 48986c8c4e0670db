// `generate --upload` hands the upload tool every changed file as one
// argument each, whatever its name holds.
#include <gtest/gtest.h>

#include <string>

#include "example_folder.h"
#include "settings/profile.h"

namespace qm::test {
namespace {

using UploadLaunch = ExampleFolder;

TEST_F(UploadLaunch, AnImagePathWithQuotesBlanksAndJapaneseStaysOneArgument) {
    const std::string tool = outputs_ / "uploader.sh";
    StandIn(tool);
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
