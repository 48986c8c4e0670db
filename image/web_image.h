// Web copies of photos: upright, no larger than the set asks, and without
// the metadata (position, camera, time, comments) a photo carries.
#pragma once

#include <string>
#include <string_view>

namespace qm {

struct WebImageSettings {
    bool enabled = true;
    int longestSide = 1600;  // pixels; an image is never enlarged
    int quality = 85;        // JPEG quality, 1 to 100
};

enum class ImageFormat { Jpeg, Png, Gif, Other };

// The format the file's first bytes announce.
ImageFormat SniffImageFormat(std::string_view bytes);

struct WebCopy {
    enum class Kind {
        Converted,  // `bytes` is the copy to publish
        AsIs,       // the original is fit to publish as it is
        Failed,     // not a JPEG, PNG or GIF that could be read whole
    };
    Kind kind = Kind::Failed;
    ImageFormat format = ImageFormat::Other;
    std::string bytes;  // only for Converted
    int width = 0;      // of what is published
    int height = 0;
};

// The copy of `original` for the web. A JPEG or PNG is decoded, turned as
// its EXIF orientation says, scaled down to `settings.longestSide` by area
// averaging and encoded again with only its colour profile kept; one that is
// already small enough and holds nothing but pixels and colour is used as it
// is, and so is a GIF. Never throws.
WebCopy MakeWebCopy(std::string_view original, const WebImageSettings& settings);

}  // namespace qm
