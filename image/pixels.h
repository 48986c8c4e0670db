// Decoded images and the codecs' common parts, inside the image library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::image {

// 8 bits per sample, rows packed; 1 (grey), 2 (grey, alpha), 3 (RGB) or 4
// (RGBA) channels, the alpha last.
struct Pixels {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> data;

    std::uint8_t* Row(int y) { return data.data() + std::size_t(y) * RowBytes(); }
    const std::uint8_t* Row(int y) const { return data.data() + std::size_t(y) * RowBytes(); }
    std::size_t RowBytes() const { return std::size_t(width) * std::size_t(channels); }
};

// Nothing larger is decoded: a bigger file is refused, not a reason to run
// out of memory. A JPEG is decoded at a fraction of its size where that is
// enough, so a larger one is taken.
inline constexpr std::uint64_t kMaxDecodedPixels = 100'000'000;
inline constexpr std::uint64_t kMaxJpegPixels = 400'000'000;

// The colour information a copy keeps: an ICC profile, or for a PNG the
// sRGB, gamma and chromaticity chunks.
struct Colour {
    std::string iccProfile;
    std::optional<int> srgbIntent;
    std::optional<long> gamma;                        // PNG fixed point, 100000 = 1.0
    std::optional<std::vector<long>> chromaticities;  // 8 PNG fixed-point values
};

struct Decoded {
    Pixels pixels;            // perhaps already made smaller by the decoder
    int fullLongestSide = 0;  // of the image as stored
    Colour colour;
    int orientation = 1;               // EXIF, 1 to 8
    bool onlyPixelsAndColour = false;  // the file holds no metadata at all
};

// Area averaging down to at most `longestSide` on the longer side; the alpha
// channel weights the colours, so transparent pixels do not darken edges.
Pixels ScaleToFit(const Pixels& source, int longestSide);

// The image as it is meant to be seen, from its EXIF orientation.
Pixels TurnUpright(const Pixels& source, int orientation);

// The EXIF orientation in `exif` (a TIFF block, with or without the "Exif"
// header in front); 1 when there is none or it is out of range.
int ExifOrientation(std::string_view exif);

// `scaleDownTo` lets the JPEG decoder take a cheaper 1/2, 1/4 or 1/8 of the
// image while its longer side stays at least that long.
std::optional<Decoded> DecodeJpeg(std::string_view bytes, int scaleDownTo);
std::optional<std::string> EncodeJpeg(const Pixels& pixels, const Colour& colour, int quality);

std::optional<Decoded> DecodePng(std::string_view bytes);
std::optional<std::string> EncodePng(const Pixels& pixels, const Colour& colour);
// The PNG with every chunk but the image and its colour left out.
std::string PngWithoutMetadata(std::string_view bytes);

}  // namespace qm::image
