#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace {

// Progressive files may hold many scans; a forged file with thousands of tiny
// scans would keep the decoder busy for minutes. Real files use about ten.
constexpr int kMaxScans = 256;

// The library reports fatal errors through error_exit, which by default ends
// the process. Ours jumps back to the decode call instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void JumpOut(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings (level -1) mean the data is corrupt or ends early; the library would
// carry on and fill the rest with grey. We fail instead, so a damaged picture
// is never shown half painted. Trace messages (level >= 0) are ignored.
void JumpOutOnWarning(j_common_ptr info, int level)
{
    if (level < 0)
        JumpOut(info);
}

void Silent(j_common_ptr) {}

void LimitScans(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        JumpOut(info);
}

// Owns the decompression object for its whole life: jpeg_destroy_decompress
// runs on every way out, including after an error jumped back.
class Decompressor {
public:
    Decompressor()
    {
        info_.err = jpeg_std_error(&errors_.base);
        errors_.base.error_exit = JumpOut;
        errors_.base.emit_message = JumpOutOnWarning;
        errors_.base.output_message = Silent;
        progress_.progress_monitor = LimitScans;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    // Everything between setjmp and a possible longjmp lives here, in a frame
    // without C++ objects that need destroying.
    bool decode(const QByteArray& bytes, QImage& out);

private:
    // Zeroed so that destroying it is safe even if creation itself failed.
    jpeg_decompress_struct info_{};
    ErrorManager errors_{};
    jpeg_progress_mgr progress_{};
};

bool WithinLimits(JDIMENSION width, JDIMENSION height)
{
    return width > 0 && height > 0 && width <= kMaxJpegSide && height <= kMaxJpegSide
           && qint64(width) * height <= kMaxJpegPixels;
}

// Adobe writes CMYK inverted (0 = full ink), which is what nearly every CMYK
// JPEG carries; with inverted values the RGB channel is simply C * K / 255.
void CmykRowToRgb(const JSAMPLE* cmyk, uchar* rgb, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int c = inverted ? cmyk[0] : 255 - cmyk[0];
        const int m = inverted ? cmyk[1] : 255 - cmyk[1];
        const int y = inverted ? cmyk[2] : 255 - cmyk[2];
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        rgb[0] = static_cast<uchar>(c * k / 255);
        rgb[1] = static_cast<uchar>(m * k / 255);
        rgb[2] = static_cast<uchar>(y * k / 255);
    }
}

bool Decompressor::decode(const QByteArray& bytes, QImage& out)
{
    if (setjmp(errors_.escape))
        return false;

    jpeg_create_decompress(&info_);
    info_.progress = &progress_;
    jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info_, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!WithinLimits(info_.image_width, info_.image_height))
        return false;

    QImage::Format format = QImage::Format_RGB888;
    switch (info_.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info_.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        info_.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info_.out_color_space = JCS_CMYK;
        break;
    default:
        return false;
    }

    jpeg_start_decompress(&info_);
    const JDIMENSION width = info_.output_width;
    const JDIMENSION height = info_.output_height;
    out = QImage(static_cast<int>(width), static_cast<int>(height), format);
    if (out.isNull())
        return false;

    // CMYK needs a row of its own before conversion; the library's pool frees
    // it with the decompression object.
    const bool cmyk = info_.out_color_space == JCS_CMYK;
    JSAMPARRAY cmykRow = cmyk ? (*info_.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info_), JPOOL_IMAGE,
                                                           width * 4, 1)
                              : nullptr;
    while (info_.output_scanline < height) {
        uchar* line = out.scanLine(static_cast<int>(info_.output_scanline));
        JSAMPROW target = cmyk ? cmykRow[0] : line;
        if (jpeg_read_scanlines(&info_, &target, 1) != 1)
            return false;
        if (cmyk)
            CmykRowToRgb(cmykRow[0], line, width, info_.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info_);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    QImage image;
    Decompressor decompressor;
    if (!decompressor.decode(bytes, image))
        return {};
    return image;
}
