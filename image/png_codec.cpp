// PNG through libpng. Its errors jump back out of the library; only plain
// C state and buffers made before the jump point live across it.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "image/pixels.h"

namespace qm::image {

namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
// No chunk is kept in memory larger than this (a colour profile is far smaller).
constexpr png_alloc_size_t kMaxChunkBytes = 32u << 20;

// The chunks that are the image and its colour; anything else is metadata
// or of no use on the web.
bool IsImageChunk(std::string_view type) {
    static constexpr std::array<std::string_view, 12> kKept = {"IHDR", "PLTE", "IDAT", "IEND",
                                                               "tRNS", "gAMA", "cHRM", "sRGB",
                                                               "iCCP", "sBIT", "bKGD", "pHYs"};
    return std::find(kKept.begin(), kKept.end(), type) != kKept.end();
}

std::uint32_t BigEndian32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

// Calls `chunk(type, whole chunk)` for each chunk after the signature up to
// IEND; false when the file ends before, inside a chunk or without one.
template <class F>
bool ForEachChunk(std::string_view bytes, F chunk) {
    std::size_t at = kSignature.size();
    while (at < bytes.size()) {
        if (bytes.size() - at < 12) return false;
        const std::uint64_t length = BigEndian32(bytes.data() + at);
        if (length > bytes.size() - at - 12) return false;
        const std::string_view type = bytes.substr(at + 4, 4);
        chunk(type, bytes.substr(at, std::size_t(length) + 12));
        if (type == "IEND") return true;
        at += std::size_t(length) + 12;
    }
    return false;
}

struct Reader {
    std::string_view bytes;
    std::size_t at = 0;
};

void ReadFromMemory(png_structp png, png_bytep into, png_size_t length) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (reader->bytes.size() - reader->at < length) png_error(png, "the file ends early");
    std::memcpy(into, reader->bytes.data() + reader->at, length);
    reader->at += length;
}

void WriteToString(png_structp png, png_bytep from, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(from), length);
}

void NoFlush(png_structp) {}

[[noreturn]] void JumpOut(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

void ReadColour(png_structp png, png_infop info, Colour& colour) {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && profile)
        colour.iccProfile.assign(reinterpret_cast<const char*>(profile), length);
    int intent = 0;
    if (png_get_sRGB(png, info, &intent)) colour.srgbIntent = intent;
    png_fixed_point gamma = 0;
    if (png_get_gAMA_fixed(png, info, &gamma)) colour.gamma = gamma;
    std::array<png_fixed_point, 8> c{};
    if (png_get_cHRM_fixed(png, info, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]))
        colour.chromaticities = std::vector<long>(c.begin(), c.end());
}

void WriteColour(png_structp png, png_infop info, const Colour& colour) {
    if (!colour.iccProfile.empty()) {
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(colour.iccProfile.data()),
                     png_uint_32(colour.iccProfile.size()));
    } else if (colour.srgbIntent) {
        png_set_sRGB(png, info, *colour.srgbIntent);
    } else {
        if (colour.gamma) png_set_gAMA_fixed(png, info, *colour.gamma);
        if (const auto& c = colour.chromaticities) {
            png_set_cHRM_fixed(png, info, (*c)[0], (*c)[1], (*c)[2], (*c)[3], (*c)[4], (*c)[5],
                               (*c)[6], (*c)[7]);
        }
    }
}

}  // namespace

std::string PngWithoutMetadata(std::string_view bytes) {
    std::string kept(kSignature);
    ForEachChunk(bytes, [&](std::string_view type, std::string_view whole) {
        if (IsImageChunk(type)) kept += whole;
    });
    return kept;
}

std::optional<Decoded> DecodePng(std::string_view bytes) {
    // A chunk said to be longer than the file would have libpng make room
    // for it before reading it.
    if (!bytes.starts_with(kSignature) || !ForEachChunk(bytes, [](auto, auto) {}))
        return std::nullopt;
    Reader reader{bytes};
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOut, IgnoreWarning);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    Decoded* volatile result = nullptr;
    std::vector<png_bytep>* volatile rows = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        delete result;
        delete rows;
        return std::nullopt;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_set_user_limits(png, 1u << 16, 1u << 16);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    if (std::uint64_t(png_get_image_width(png, info)) * png_get_image_height(png, info) >
        kMaxDecodedPixels) {
        png_error(png, "too large");
    }
    result = new Decoded;
    ReadColour(png, info, result->colour);
    png_bytep exif = nullptr;
    png_uint_32 exifLength = 0;
    if (png_get_eXIf_1(png, info, &exifLength, &exif) && exif) {
        result->orientation =
            ExifOrientation(std::string_view(reinterpret_cast<const char*>(exif), exifLength));
    }
    // Everything becomes 8-bit grey or RGB, with an alpha where there is one.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    Pixels& pixels = result->pixels;
    pixels.width = int(png_get_image_width(png, info));
    pixels.height = int(png_get_image_height(png, info));
    pixels.channels = png_get_channels(png, info);
    result->fullLongestSide = std::max(pixels.width, pixels.height);
    pixels.data.resize(std::size_t(pixels.height) * pixels.RowBytes());
    rows = new std::vector<png_bytep>(std::size_t(pixels.height));
    for (int y = 0; y < pixels.height; ++y) (*rows)[std::size_t(y)] = pixels.Row(y);
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    delete rows;
    Decoded decoded = std::move(*result);
    delete result;
    decoded.onlyPixelsAndColour = true;
    ForEachChunk(bytes, [&decoded](std::string_view type, std::string_view) {
        decoded.onlyPixelsAndColour = decoded.onlyPixelsAndColour && IsImageChunk(type);
    });
    return decoded;
}

std::optional<std::string> EncodePng(const Pixels& pixels, const Colour& colour) {
    static constexpr int kColourTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA,
                                           PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
    if (pixels.channels < 1 || pixels.channels > 4) return std::nullopt;
    std::string out;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOut, IgnoreWarning);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::nullopt;
    }
    png_set_write_fn(png, &out, WriteToString, NoFlush);
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8,
                 kColourTypes[pixels.channels - 1], PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    WriteColour(png, info, colour);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height; ++y) png_write_row(png, pixels.Row(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace qm::image
