#include "image/web_image.h"

#include <algorithm>

#include "image/pixels.h"

namespace qm {

namespace {

using image::Decoded;

// A GIF is published as it is; its size is in its header.
WebCopy GifAsIs(std::string_view bytes) {
    WebCopy copy;
    if (bytes.size() < 10) return copy;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    copy.kind = WebCopy::Kind::AsIs;
    copy.format = ImageFormat::Gif;
    copy.width = b[6] | b[7] << 8;
    copy.height = b[8] | b[9] << 8;
    return copy;
}

bool FitsAsItIs(const Decoded& decoded, const WebImageSettings& settings) {
    return decoded.onlyPixelsAndColour && decoded.orientation == 1 &&
           decoded.fullLongestSide <= settings.longestSide;
}

}  // namespace

ImageFormat SniffImageFormat(std::string_view bytes) {
    if (bytes.starts_with("\xff\xd8\xff")) return ImageFormat::Jpeg;
    if (bytes.starts_with(std::string_view("\x89PNG\r\n\x1a\n", 8))) return ImageFormat::Png;
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return ImageFormat::Gif;
    return ImageFormat::Other;
}

WebCopy MakeWebCopy(std::string_view original, const WebImageSettings& settings) {
    const ImageFormat format = SniffImageFormat(original);
    if (format == ImageFormat::Gif) return GifAsIs(original);
    std::optional<Decoded> decoded;
    if (format == ImageFormat::Jpeg) decoded = image::DecodeJpeg(original, settings.longestSide);
    if (format == ImageFormat::Png) decoded = image::DecodePng(original);
    WebCopy copy;
    copy.format = format;
    if (!decoded) return copy;

    if (FitsAsItIs(*decoded, settings)) {
        copy.kind = WebCopy::Kind::AsIs;
        copy.width = decoded->pixels.width;
        copy.height = decoded->pixels.height;
        return copy;
    }
    std::optional<std::string> bytes;
    image::Pixels pixels;
    if (format == ImageFormat::Png && decoded->orientation == 1 &&
        decoded->fullLongestSide <= settings.longestSide) {
        // Only chunks to leave out: the pixels stay exactly as they were.
        pixels = std::move(decoded->pixels);
        bytes = image::PngWithoutMetadata(original);
    } else {
        pixels = image::TurnUpright(image::ScaleToFit(decoded->pixels, settings.longestSide),
                                    decoded->orientation);
        bytes =
            format == ImageFormat::Jpeg
                ? image::EncodeJpeg(pixels, decoded->colour, std::clamp(settings.quality, 1, 100))
                : image::EncodePng(pixels, decoded->colour);
    }
    if (!bytes) return copy;
    copy.kind = WebCopy::Kind::Converted;
    copy.bytes = std::move(*bytes);
    copy.width = pixels.width;
    copy.height = pixels.height;
    return copy;
}

}  // namespace qm
