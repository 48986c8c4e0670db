// A photo given to `generate --image`: the page and the upload tool get its
// web copy, upright and without metadata; undo removes the copy again.
// exiftool makes and reads the metadata, so this runs where it is.
#include <cstdlib>

#include "example_folder.h"
#include "image/image_samples.h"
#include "settings/profile.h"

namespace qm::test {
namespace {

using WebImageProgram = ExampleFolder;

const std::string kExiftool = "/usr/bin/exiftool";

TEST_F(WebImageProgram, APhotoIsPublishedAsAnUprightCopyWithoutMetadataAndUndoRemovesIt) {
    if (!fs::exists(kExiftool)) GTEST_SKIP() << "exiftool (libimage-exiftool-perl) is missing";
    const std::string photo = outputs_ / "photo.jpg";
    WriteBytes(photo, image::EncodeJpeg(QuarterPhoto(2400, 1800), {}, 90).value());
    ASSERT_EQ(std::system((kExiftool +
                           " -q -overwrite_original -Orientation#=6 -GPSLatitude=35.6 "
                           "-GPSLatitudeRef=N -Make=Camco -SerialNumber=SN1 "
                           "-XMP:Creator=me -IPTC:Keywords=home " +
                           photo)
                              .c_str()),
              0);
    const std::string original = ReadBytes(photo);
    const std::string tool = outputs_ / "uploader.sh";
    StandIn(tool);
    ASSERT_TRUE(WriteProfileString(dir_ / "example.ini", "FILEPATH", "FTP", tool));

    ASSERT_EQ(Run({"generate", "--upload", "--title", "t", "--body", "b", "--image", photo}), 0)
        << stderr_;
    const std::string copy = dir_ / "images/photo.jpg";
    EXPECT_EQ(ArgumentsOf(tool), (dir_ / "diary26-Dec.html\n") + "log.html\n" + copy + "\n" +
                                     (dir_ / "diary-current.html\n") + (dir_ / "atom.xml\n"));
    EXPECT_NE(Page().find(R"(<img src="images/photo.jpg" alt="" width="1200" height="1600" >)"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(photo), original);
    const ProgramRun tags = RunProgram({kExiftool, "-a", "-G1", "-s", copy});
    ASSERT_NE(tags.output.find("ImageHeight"), std::string::npos) << tags.output;
    for (const char* group : {"[GPS]", "[IFD0]", "[ExifIFD]", "[XMP", "[IPTC]", "Camco"})
        EXPECT_EQ(tags.output.find(group), std::string::npos) << tags.output;
    const auto upright = image::DecodeJpeg(ReadBytes(copy), 0);
    ASSERT_TRUE(upright);
    const image::Pixels& p = upright->pixels;
    // A quarter turn clockwise: the stored bottom left is the top left now.
    for (const auto& [x, y, quarter] : {std::tuple{50, 50, 2}, {1150, 50, 0}, {50, 1550, 3}}) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(p.Row(y)[x * 3 + c], kQuarters[quarter][c], 12);
    }

    ASSERT_EQ(Run({"undo", "--no-upload"}), 0) << stderr_;
    EXPECT_FALSE(fs::exists(copy));
}

// What is no image is refused before anything is written.
TEST_F(WebImageProgram, AFileThatIsNoImageIsRefusedWritingNothing) {
    const std::string notImage = outputs_ / "notes.jpg";
    WriteBytes(notImage, "just some text");
    const Files before = ReadFolder(dir_.dir());
    EXPECT_EQ(Run({"generate", "--title", "t", "--body", "b", "--image", notImage}), 1);
    EXPECT_TRUE(Said("notes.jpg")) << stderr_;
    Files after = ReadFolder(dir_.dir());
    after.erase("QMgenerate.lock");
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace qm::test
