// Images made by the tests: quadrant photos with EXIF and comments, PNGs with
// text chunks, built with the library's own encoders and a small EXIF writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "image/pixels.h"

namespace qm::test {

// The colours of the four quarters of a sample photo as stored:
// top left, top right, bottom left, bottom right.
inline constexpr std::uint8_t kQuarters[4][3] = {
    {200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {220, 220, 40}};

inline image::Pixels QuarterPhoto(int width, int height) {
    image::Pixels p{width, height, 3, {}};
    p.data.resize(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                p.Row(y)[x * 3 + c] = kQuarters[(x >= width / 2) + 2 * (y >= height / 2)][c];
    return p;
}

// A big-endian TIFF block: IFD0 with the camera's make, an orientation and a
// pointer to a GPS IFD holding a latitude reference.
inline std::string ExifBlock(int orientation) {
    std::string b("Exif\0\0MM\0\x2a\0\0\0\x08", 14);
    auto u16 = [&b](int v) { b += char(v >> 8), b += char(v & 0xff); };
    auto u32 = [&](int v) { u16(v >> 16), u16(v & 0xffff); };
    u16(3);                                            // IFD0: three entries
    u16(0x010f), u16(2), u32(6), u32(8 + 2 + 36 + 4);  // Make, ASCII, at 50
    u16(0x0112), u16(3), u32(1), u16(orientation), u16(0);
    u16(0x8825), u16(4), u32(1), u32(56);  // the GPS IFD, at 56
    u32(0);
    b += std::string("Camco\0", 6);
    u16(1), u16(0x0001), u16(2), u32(2), b += std::string("N\0\0\0", 4), u32(0);
    return b;
}

// `jpeg` with an APPn segment or a comment inserted right after its start.
inline std::string WithSegment(std::string jpeg, int marker, std::string_view payload) {
    const std::size_t length = payload.size() + 2;
    std::string segment{char(0xff), char(marker), char(length >> 8), char(length & 0xff)};
    return jpeg.insert(2, segment + std::string(payload));
}

inline std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// `png` with a tEXt chunk right after its header chunk.
inline std::string WithText(std::string png, std::string_view keywordAndText) {
    const std::string body = "tEXt" + std::string(keywordAndText);
    std::string chunk;
    const auto put32 = [&chunk](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) chunk += char(v >> shift & 0xff);
    };
    put32(std::uint32_t(keywordAndText.size()));
    chunk += body;
    put32(Crc32(body));
    return png.insert(8 + 25, chunk);
}

}  // namespace qm::test
