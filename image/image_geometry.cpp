#include <libexif/exif-data.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/pixels.h"

namespace qm::image {

namespace {

// What one output sample takes from the input samples first, first + 1, ...
struct Span {
    int first = 0;
    std::vector<float> weights;  // sum to 1
};

// Each output sample averages the stretch of input it covers, partly
// covered input samples by the part they give.
std::vector<Span> AreaSpans(int from, int to) {
    std::vector<Span> spans(static_cast<std::size_t>(to));
    const double scale = double(from) / to;
    for (int o = 0; o < to; ++o) {
        const double start = o * scale;
        const double end = std::min<double>(from, (o + 1) * scale);
        Span& span = spans[static_cast<std::size_t>(o)];
        span.first = static_cast<int>(start);
        for (int i = span.first; i < from && i < end; ++i) {
            const double covered = std::min<double>(i + 1, end) - std::max<double>(i, start);
            span.weights.push_back(static_cast<float>(covered / scale));
        }
    }
    return spans;
}

std::uint8_t ToSample(float value) {
    return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

// The channel count is known to the compiler, so the loops over a pixel's
// samples unroll.
template <int C>
void ScaleInto(const Pixels& source, Pixels& out) {
    constexpr bool alpha = C == 2 || C == 4;
    constexpr int colours = alpha ? C - 1 : C;
    const std::size_t outRow = std::size_t(out.width) * C;

    // Across first, into floats with the colours weighted by their alpha.
    const std::vector<Span> across = AreaSpans(source.width, out.width);
    std::vector<float> narrow(outRow * std::size_t(source.height));
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* row = source.Row(y);
        float* sample = narrow.data() + std::size_t(y) * outRow;
        for (const Span& span : across) {
            const std::uint8_t* in = row + std::size_t(span.first) * C;
            for (const float w : span.weights) {
                const float weight = alpha ? w * in[colours] / 255.0f : w;
                for (int ch = 0; ch < colours; ++ch) sample[ch] += weight * in[ch];
                if constexpr (alpha) sample[colours] += w * in[colours];
                in += C;
            }
            sample += C;
        }
    }
    // Then down, undoing the alpha weighting at the end.
    const std::vector<Span> down = AreaSpans(source.height, out.height);
    out.data.resize(std::size_t(out.height) * outRow);
    std::vector<float> sum(outRow);
    for (int y = 0; y < out.height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const Span& span = down[std::size_t(y)];
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            const float* in = narrow.data() + (std::size_t(span.first) + k) * outRow;
            const float w = span.weights[k];
            for (std::size_t i = 0; i < outRow; ++i) sum[i] += w * in[i];
        }
        std::uint8_t* o = out.Row(y);
        for (const float* s = sum.data(); s != sum.data() + outRow; s += C, o += C) {
            const float a = alpha ? s[colours] / 255.0f : 1.0f;
            for (int ch = 0; ch < colours; ++ch) o[ch] = a > 0 ? ToSample(s[ch] / a) : 0;
            if constexpr (alpha) o[colours] = ToSample(s[colours]);
        }
    }
}

}  // namespace

Pixels ScaleToFit(const Pixels& source, int longestSide) {
    const int longer = std::max(source.width, source.height);
    if (longer <= longestSide || longestSide < 1) return source;
    const double factor = double(longestSide) / longer;
    Pixels out;
    out.channels = source.channels;
    out.width = std::max(1, static_cast<int>(std::lround(source.width * factor)));
    out.height = std::max(1, static_cast<int>(std::lround(source.height * factor)));
    switch (source.channels) {
        case 1:
            ScaleInto<1>(source, out);
            break;
        case 2:
            ScaleInto<2>(source, out);
            break;
        case 3:
            ScaleInto<3>(source, out);
            break;
        case 4:
            ScaleInto<4>(source, out);
            break;
        default:
            return source;
    }
    return out;
}

Pixels TurnUpright(const Pixels& source, int orientation) {
    if (orientation < 2 || orientation > 8) return source;
    const bool sideways = orientation >= 5;  // 5 to 8 swap width and height
    Pixels out;
    out.channels = source.channels;
    out.width = sideways ? source.height : source.width;
    out.height = sideways ? source.width : source.height;
    out.data.resize(source.data.size());
    const int w = source.width;
    const int h = source.height;
    const std::size_t c = std::size_t(source.channels);
    for (int y = 0; y < out.height; ++y) {
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < out.width; ++x) {
            // Where the seen pixel (x, y) is stored.
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;
                case 3:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;
                case 4:
                    sy = h - 1 - y;
                    break;
                case 5:
                    sx = y;
                    sy = x;
                    break;
                case 6:
                    sx = y;
                    sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;
                case 8:
                    sx = w - 1 - y;
                    sy = x;
                    break;
                default:
                    break;
            }
            std::memcpy(row + std::size_t(x) * c, source.Row(sy) + std::size_t(sx) * c, c);
        }
    }
    return out;
}

int ExifOrientation(std::string_view exif) {
    // libexif finds the block only behind its "Exif" header.
    static constexpr std::string_view kHeader("Exif\0\0", 6);
    std::string block =
        exif.starts_with(kHeader) ? std::string(exif) : std::string(kHeader) += exif;
    ExifData* data = exif_data_new_from_data(reinterpret_cast<const unsigned char*>(block.data()),
                                             static_cast<unsigned int>(block.size()));
    if (!data) return 1;
    int orientation = 1;
    if (ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        entry && entry->format == EXIF_FORMAT_SHORT && entry->components == 1 && entry->data &&
        entry->size >= 2) {
        const int value = exif_get_short(entry->data, exif_data_get_byte_order(data));
        if (value >= 1 && value <= 8) orientation = value;
    }
    exif_data_unref(data);
    return orientation;
}

}  // namespace qm::image
