// Web copies: upright, scaled by area averaging, without metadata, colour
// profile kept; clean small files and GIFs used as they are; anything that
// cannot be decoded refused.
#include "image/web_image.h"

#include <gtest/gtest.h>

#include "image_samples.h"

namespace qm::test {
namespace {

using image::Pixels;

const std::uint8_t* At(const Pixels& p, int x, int y) {
    return p.Row(y) + std::size_t(x) * std::size_t(p.channels);
}

void ExpectNear(const std::uint8_t* got, const std::uint8_t* want, int channels) {
    for (int c = 0; c < channels; ++c) EXPECT_NEAR(got[c], want[c], 12) << "channel " << c;
}

std::string Jpeg(const Pixels& pixels, const std::string& profile = {}) {
    image::Colour colour;
    colour.iccProfile = profile;
    return image::EncodeJpeg(pixels, colour, 90).value();
}

TEST(WebImage, APhotoOnItsSideComesUprightSmallerAndWithoutItsMetadata) {
    std::string profile(200, 'p');
    profile.replace(16, 4, "RGB ");
    std::string photo = WithSegment(Jpeg(QuarterPhoto(400, 300), profile), 0xe1, ExifBlock(6));
    photo = WithSegment(photo, 0xfe, "secret comment");
    photo = WithSegment(photo, 0xed, "Photoshop 3.0 IPTC keywords");

    const WebCopy copy = MakeWebCopy(photo, {true, 200, 85});
    ASSERT_EQ(copy.kind, WebCopy::Kind::Converted);
    EXPECT_EQ(copy.width, 150);
    EXPECT_EQ(copy.height, 200);
    for (const char* kept : {"Exif", "Camco", "secret", "Photoshop"})
        EXPECT_EQ(copy.bytes.find(kept), std::string::npos) << kept;
    const auto decoded = image::DecodeJpeg(copy.bytes, 0);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->colour.iccProfile, profile);
    // Turned a quarter clockwise: what lay bottom left is now top left.
    const Pixels& p = decoded->pixels;
    ExpectNear(At(p, 20, 20), kQuarters[2], 3);
    ExpectNear(At(p, 130, 20), kQuarters[0], 3);
    ExpectNear(At(p, 20, 180), kQuarters[3], 3);
    ExpectNear(At(p, 130, 180), kQuarters[1], 3);
}

TEST(WebImage, ALargePngLosesItsTextAndTransparentPixelsDoNotDarkenTheRest) {
    // Columns of transparent black between opaque white ones.
    Pixels stripes{2000, 1000, 4, {}};
    stripes.data.resize(2000u * 1000u * 4u);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 2000; ++x)
            for (int c = 0; c < 4; ++c) stripes.Row(y)[x * 4 + c] = x % 2 ? 255 : 0;
    const std::string png = WithText(image::EncodePng(stripes, {}).value(), "Comment\0home");

    const WebCopy copy = MakeWebCopy(png, {});
    ASSERT_EQ(copy.kind, WebCopy::Kind::Converted);
    EXPECT_EQ(copy.width, 1600);
    EXPECT_EQ(copy.height, 800);
    EXPECT_EQ(copy.bytes.find("tEXt"), std::string::npos);
    const auto decoded = image::DecodePng(copy.bytes);
    ASSERT_TRUE(decoded);
    for (int x : {0, 1, 2, 799, 1599}) {
        const std::uint8_t* pixel = At(decoded->pixels, x, 400);
        EXPECT_EQ(pixel[0], 255) << x;
        EXPECT_GT(pixel[3], 0) << x;  // a mix, but of white only
        EXPECT_LT(pixel[3], 255) << x;
    }
}

TEST(WebImage, CleanSmallFilesAndGifsAreUsedAsTheyAreAndSmallPngsOnlyLoseChunks) {
    const std::string clean = Jpeg(QuarterPhoto(64, 48));
    WebCopy copy = MakeWebCopy(clean, {});
    EXPECT_EQ(copy.kind, WebCopy::Kind::AsIs);
    EXPECT_EQ(copy.width, 64);
    copy = MakeWebCopy(std::string_view("GIF89a\x20\x01\x10\x00\x00\x00", 12), {});
    EXPECT_EQ(copy.kind, WebCopy::Kind::AsIs);
    EXPECT_EQ(copy.width, 288);
    EXPECT_EQ(copy.height, 16);

    const std::string png = image::EncodePng(QuarterPhoto(30, 20), {}).value();
    copy = MakeWebCopy(WithText(png, std::string_view("Author\0me", 9)), {});
    ASSERT_EQ(copy.kind, WebCopy::Kind::Converted);
    EXPECT_EQ(copy.bytes, png);
}

TEST(WebImage, WhatCannotBeDecodedWholeIsRefused) {
    const std::string jpeg = Jpeg(QuarterPhoto(300, 200));
    const std::string png = image::EncodePng(QuarterPhoto(300, 200), {}).value();
    std::string badCrc = png;
    badCrc[40] ^= 1;  // inside the image data
    const std::string cases[] = {
        jpeg.substr(0, jpeg.size() / 2),
        std::string("\xff\xd8\xff\xe0 not really", 15),
        png.substr(0, png.size() - 30),
        badCrc,
        "plain text",
        std::string("GIF89a", 6),
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(MakeWebCopy(bytes, {}).kind, WebCopy::Kind::Failed) << bytes.size();
    }
}

}  // namespace
}  // namespace qm::test
