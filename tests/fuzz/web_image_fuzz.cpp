// Arbitrary bytes as a photo: making its web copy never crashes, and a copy
// that is made fits the size asked for, holds no metadata and reads again
// as the same image.
#include <algorithm>

#include "fuzz_support.h"
#include "image/pixels.h"
#include "image/web_image.h"

namespace qm::fuzz {

QM_FUZZ_TARGET(input) {
    WebImageSettings settings;
    settings.longestSide = input.ConsumeIntegralInRange<int>(1, 96);
    settings.quality = input.ConsumeIntegralInRange<int>(1, 100);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const WebCopy copy = MakeWebCopy(bytes, settings);
    if (copy.kind != WebCopy::Kind::Converted) return;
    const auto again = copy.format == ImageFormat::Jpeg ? image::DecodeJpeg(copy.bytes, 0)
                                                        : image::DecodePng(copy.bytes);
    Require(again.has_value(), "a copy reads again");
    Require(again->onlyPixelsAndColour && again->orientation == 1,
            "a copy holds nothing but pixels and colour");
    Require(again->pixels.width == copy.width && again->pixels.height == copy.height,
            "a copy is as large as said");
    Require(std::max(copy.width, copy.height) <= settings.longestSide,
            "a copy fits the longest side");
}

}  // namespace qm::fuzz
