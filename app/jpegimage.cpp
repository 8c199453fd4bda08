#include "app/jpegimage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace duva
{

namespace
{

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the decoder, which then releases the library's state.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are not printed. Running out of data is a warning to libjpeg (it pads the picture
// with grey); a truncated picture is refused here instead.
void emitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        errorExit(info);
}

void outputMessage(j_common_ptr) {}

// A garbage header may announce an enormous picture; no logo is anywhere near this.
constexpr unsigned long maxPixels = 64UL * 1024 * 1024;

unsigned char cmykToRgb(unsigned c, unsigned k, bool inverted)
{
    // Adobe's CMYK pictures store the inks inverted.
    if (inverted)
        return static_cast<unsigned char>(c * k / 255);
    return static_cast<unsigned char>((255 - c) * (255 - k) / 255);
}

void convertRow(const JSAMPLE* in, unsigned char* out, JDIMENSION width, int components, bool cmyk,
                bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, in += components, out += 3) {
        if (cmyk) {
            out[0] = cmykToRgb(in[0], in[3], inverted);
            out[1] = cmykToRgb(in[1], in[3], inverted);
            out[2] = cmykToRgb(in[2], in[3], inverted);
        } else if (components >= 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        } else {
            out[0] = out[1] = out[2] = in[0];
        }
    }
}

// No object with a destructor lives in this function's frame between setjmp and a jump:
// `image` belongs to the caller and is only assigned to.
bool decodeInto(const unsigned char* data, unsigned long size, QImage& image)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = emitMessage;
    errors.base.output_message = outputMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);

    bool cmyk = false;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        info.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        // Unknown colour space: take the components as they are.
        info.out_color_space = JCS_UNKNOWN;
        cmyk = info.num_components == 4;
        break;
    }
    jpeg_start_decompress(&info);

    const JDIMENSION width = info.output_width;
    const JDIMENSION height = info.output_height;
    const int components = info.output_components;
    if (width == 0 || height == 0 || components < 1 ||
        static_cast<unsigned long>(width) * height > maxPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool inverted = cmyk && info.saw_Adobe_marker;
    // The row buffer comes from libjpeg's own pool, released with the decompressor.
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               width * components, 1);
    while (info.output_scanline < height) {
        const JDIMENSION line = info.output_scanline;
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            break;
        convertRow(row[0], image.scanLine(static_cast<int>(line)), width, components, cmyk,
                   inverted);
    }
    const bool complete = info.output_scanline == height;
    if (complete)
        jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete;
}

} // namespace

QImage decodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    QImage image;
    if (!decodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size()), image))
        return {};
    return image;
}

} // namespace duva
