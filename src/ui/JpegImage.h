#pragma once

#include <QByteArray>
#include <QImage>

// Pictures larger than this on either side, or in area, are refused before any
// pixel memory is allocated: the program's own pictures are a few hundred
// pixels wide, and a forged header must not make us reserve gigabytes.
inline constexpr int kMaxJpegSide = 8192;
inline constexpr qint64 kMaxJpegPixels = qint64(4096) * 4096;

// Decodes a complete JPEG file held in memory. Grayscale pictures come back as
// Format_Grayscale8, colour (YCbCr, RGB, CMYK, YCCK) as Format_RGB888.
// Returns a null image for empty, garbage, truncated or corrupt data and for
// pictures beyond the size limits; never ends the process.
QImage DecodeJpeg(const QByteArray& bytes);
