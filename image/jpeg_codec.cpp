// JPEG through libjpeg-turbo. Its errors jump back out of the library; only
// plain C state and buffers made before the jump point live across it.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// clang-format off: jpeglib.h wants stdio.h before it.
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include "image/pixels.h"

namespace qm::image {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool cutShort = false;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings are not printed; a file that ends early is remembered, as its
// missing rows would be grey.
void NoteWarning(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrors*>(info->err)->cutShort = true;
}

void SetUpErrors(JpegErrors& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOut;
    errors.manager.emit_message = NoteWarning;
}

bool StartsWith(const jpeg_saved_marker_ptr marker, std::string_view id) {
    return marker->data_length >= id.size() && std::memcmp(marker->data, id.data(), id.size()) == 0;
}

// JFIF, the colour profile and Adobe's colour transform are all a clean
// file holds besides the image.
bool OnlyImageMarkers(j_decompress_ptr info) {
    for (jpeg_saved_marker_ptr m = info->marker_list; m; m = m->next) {
        const bool image =
            (m->marker == JPEG_APP0 && StartsWith(m, std::string_view("JFIF\0", 5))) ||
            (m->marker == JPEG_APP0 + 2 && StartsWith(m, "ICC_PROFILE")) ||
            (m->marker == JPEG_APP0 + 14 && StartsWith(m, "Adobe"));
        if (!image) return false;
    }
    return true;
}

int OrientationOf(j_decompress_ptr info) {
    for (jpeg_saved_marker_ptr m = info->marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && StartsWith(m, std::string_view("Exif\0", 5))) {
            return ExifOrientation(
                std::string_view(reinterpret_cast<const char*>(m->data), m->data_length));
        }
    }
    return 1;
}

// The profile's colour space (bytes 16 to 19) must still fit the pixels.
bool ProfileFits(const std::string& profile, int channels) {
    if (profile.size() < 20) return false;
    const std::string_view space(profile.data() + 16, 4);
    return channels == 1 ? space == "GRAY" : space == "RGB ";
}

// Adobe's CMYK is stored inverted; the web wants RGB.
void CmykToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width) {
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        for (int ch = 0; ch < 3; ++ch)
            rgb[ch] = static_cast<std::uint8_t>(cmyk[ch] * cmyk[3] / 255);
    }
}

}  // namespace

std::optional<Decoded> DecodeJpeg(std::string_view bytes, int scaleDownTo) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    SetUpErrors(errors);
    info.err = &errors.manager;
    Decoded* volatile result = nullptr;  // made before the jump point, freed after it
    std::vector<std::uint8_t>* volatile cmykRow = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        delete result;
        delete cmykRow;
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    // Every APPn and comment is looked at, to know whether the file is clean.
    for (int app = 0; app < 16; ++app) jpeg_save_markers(&info, JPEG_APP0 + app, 0xFFFF);
    jpeg_save_markers(&info, JPEG_COM, 16);
    jpeg_read_header(&info, TRUE);
    if (std::uint64_t(info.image_width) * info.image_height > kMaxJpegPixels) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    result = new Decoded;
    result->orientation = OrientationOf(&info);
    result->onlyPixelsAndColour = OnlyImageMarkers(&info);
    JOCTET* profile = nullptr;
    unsigned int profileLength = 0;
    if (jpeg_read_icc_profile(&info, &profile, &profileLength)) {
        result->colour.iccProfile.assign(reinterpret_cast<const char*>(profile), profileLength);
        std::free(profile);
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE
                           : cmyk                                 ? JCS_CMYK
                                                                  : JCS_RGB;
    // The decoder's own 1/2, 1/4, 1/8 while the image stays large enough.
    const unsigned longer = std::max(info.image_width, info.image_height);
    result->fullLongestSide = int(longer);
    info.scale_num = 1;
    info.scale_denom = 1;
    while (info.scale_denom < 8 && scaleDownTo > 0 &&
           longer / (info.scale_denom * 2) >= unsigned(scaleDownTo)) {
        info.scale_denom *= 2;
    }
    jpeg_calc_output_dimensions(&info);
    if (std::uint64_t(info.output_width) * info.output_height > kMaxDecodedPixels) {
        jpeg_destroy_decompress(&info);
        delete result;
        return std::nullopt;
    }
    jpeg_start_decompress(&info);
    Pixels& pixels = result->pixels;
    pixels.width = int(info.output_width);
    pixels.height = int(info.output_height);
    pixels.channels = cmyk ? 3 : info.output_components;
    pixels.data.resize(std::size_t(pixels.height) * pixels.RowBytes());
    if (cmyk) cmykRow = new std::vector<std::uint8_t>(std::size_t(pixels.width) * 4);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW row = cmyk ? cmykRow->data() : pixels.Row(y);
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) CmykToRgb(cmykRow->data(), pixels.Row(y), pixels.width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    delete cmykRow;
    std::optional<Decoded> decoded;
    if (!errors.cutShort) decoded = std::move(*result);
    delete result;
    if (decoded && !ProfileFits(decoded->colour.iccProfile, decoded->pixels.channels))
        decoded->colour.iccProfile.clear();
    return decoded;
}

std::optional<std::string> EncodeJpeg(const Pixels& pixels, const Colour& colour, int quality) {
    if (pixels.channels != 1 && pixels.channels != 3) return std::nullopt;
    jpeg_compress_struct info{};
    JpegErrors errors{};
    SetUpErrors(errors);
    info.err = &errors.manager;
    // The library keeps `buffer` up to date through its address, also when
    // it grows the buffer.
    unsigned char* buffer = nullptr;
    unsigned long outSize = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return std::nullopt;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &outSize);
    info.image_width = JDIMENSION(pixels.width);
    info.image_height = JDIMENSION(pixels.height);
    info.input_components = pixels.channels;
    info.in_color_space = pixels.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;  // a little smaller for nothing but time
    jpeg_start_compress(&info, TRUE);
    if (!colour.iccProfile.empty()) {
        jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET*>(colour.iccProfile.data()),
                               unsigned(colour.iccProfile.size()));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.Row(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string encoded(reinterpret_cast<const char*>(buffer), outSize);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return encoded;
}

}  // namespace qm::image
