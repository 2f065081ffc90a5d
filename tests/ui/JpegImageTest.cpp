#include "ui/JpegImage.h"
#include "ui/Pictures.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include <jpeglib.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray EncodeWithQt(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// A small colour JPEG with a gradient, so rows and channels differ.
QByteArray GradientJpeg(int width = 40, int height = 24)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return EncodeWithQt(image);
}

// A progressive grayscale JPEG that sends the DC scan and then, for each of the
// first acCoefficients AC coefficients, one first scan and four refinement
// scans: a valid file with 1 + 5 * acCoefficients scans.
QByteArray ManyScanJpeg(int acCoefficients)
{
    std::vector<jpeg_scan_info> script;
    script.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k <= acCoefficients; ++k) {
        script.push_back({1, {0}, k, k, 0, 4});
        for (int bit = 4; bit >= 1; --bit)
            script.push_back({1, {0}, k, k, bit, bit - 1});
    }

    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &output, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    info.scan_info = script.data();
    info.num_scans = static_cast<int>(script.size());
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(16);
    while (info.next_scanline < info.image_height) {
        for (size_t x = 0; x < row.size(); ++x)
            row[x] = static_cast<JSAMPLE>((x * 16 + info.next_scanline * 5) & 0xFF);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(output), static_cast<qsizetype>(size));
    std::free(output);
    return bytes;
}

// Rewrites the frame header's height and width, leaving the scan data as it is.
QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<uchar>(jpeg[i + 1]);
        if (static_cast<uchar>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

int MaxChannelDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// Mean colour of a rectangle of the picture.
QColor MeanColour(const QImage& image, const QRect& area)
{
    qint64 r = 0, g = 0, b = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    const qint64 n = qint64(area.width()) * area.height();
    return QColor(int(r / n), int(g / n), int(b / n));
}

} // namespace

// Each picture for screens of scale 1 and 2: the 2x drawing is twice the
// size, shows the same scene, and has detail of its own (it is no 1x picture
// stretched).
TEST(EmbeddedPictures, DecodeToTheirSizesWithPlausibleColoursAtBothScales)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage banner = BannerPicture().ForScale(scale).toImage();
        ASSERT_EQ(banner.size(), QSize(716, 56) * scale);
        // A calm dark-blue strip behind the texts.
        const QColor strip = MeanColour(banner, QRect(QPoint(300, 5) * scale, QSize(200, 10) * scale));
        EXPECT_GT(strip.blue(), strip.red() + 30);
        EXPECT_LT(strip.lightness(), 128);

        const QImage about = AboutPicture().ForScale(scale).toImage();
        ASSERT_EQ(about.size(), QSize(300, 296) * scale);
        // The middle of the picture is the red book's cover; the corners are the light backdrop.
        const QColor cover = MeanColour(about, QRect(QPoint(100, 60) * scale, QSize(120, 180) * scale));
        EXPECT_GT(cover.red(), 150);
        EXPECT_GT(cover.red(), cover.green() + 60);
        EXPECT_GT(cover.red(), cover.blue() + 60);
        EXPECT_GT(MeanColour(about, QRect(0, 0, 12, 12)).lightness(), 200);
    }
    const QImage stretched = BannerPicture().ForScale(1).toImage().scaled(1432, 112).convertToFormat(QImage::Format_RGB888);
    EXPECT_GT(MaxChannelDifference(BannerPicture().ForScale(2).toImage().convertToFormat(QImage::Format_RGB888), stretched),
              100);
}

TEST(EmbeddedPictures, IconsHaveTheirSizesAtBothScales)
{
    for (const auto& [icon, size] : {std::pair{WindowIcon(), 16}, std::pair{TrayIconPicture(), 32}}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size) * 2));
        EXPECT_EQ(icon.pixmap(QSize(size, size), 2.0).size(), QSize(size, size) * 2);
    }
}

TEST(DecodeJpeg, MatchesAnIndependentDecoderPixelForPixel)
{
    for (const QByteArray& bytes : {GradientJpeg(), ReadFile(":/pictures/banner.jpg")}) {
        const QImage ours = DecodeJpeg(bytes);
        const QImage reference = QImage::fromData(bytes, "JPG");
        ASSERT_FALSE(ours.isNull());
        ASSERT_EQ(ours.size(), reference.size());
        EXPECT_EQ(ours.format(), QImage::Format_RGB888);
        EXPECT_LE(MaxChannelDifference(ours, reference), 2);
    }
}

TEST(DecodeJpeg, KeepsGrayscaleAsGrayscale)
{
    QImage gray(33, 17, QImage::Format_Grayscale8);
    for (int y = 0; y < gray.height(); ++y)
        for (int x = 0; x < gray.width(); ++x)
            gray.scanLine(y)[x] = static_cast<uchar>(x * 7);
    const QImage decoded = DecodeJpeg(EncodeWithQt(gray));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(decoded.size(), gray.size());
    EXPECT_NEAR(decoded.scanLine(8)[3], 21, 6);
    EXPECT_NEAR(decoded.scanLine(8)[30], 210, 6);
}

TEST(DecodeJpeg, ConvertsAdobeCmykToRgb)
{
    // A 16 x 16 picture filled with red (#E02020), stored as inverted CMYK.
    const QImage decoded = DecodeJpeg(ReadFile(QUILLORY_SOURCE_DIR "/tests/ui/data/red_cmyk.jpg"));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), QSize(16, 16));
    const QColor centre = decoded.pixelColor(8, 8);
    EXPECT_NEAR(centre.red(), 0xE0, 12);
    EXPECT_NEAR(centre.green(), 0x20, 12);
    EXPECT_NEAR(centre.blue(), 0x20, 12);
}

TEST(DecodeJpeg, RefusesEmptyGarbageAndDamagedInput)
{
    const QByteArray good = GradientJpeg();
    ASSERT_FALSE(DecodeJpeg(good).isNull());

    EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray("\xFF\xD8", 2)).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray("this is not a picture at all")).isNull());
    EXPECT_TRUE(DecodeJpeg(ReadFile(":/icons/tray32.png")).isNull());

    QByteArray noise(4096, Qt::Uninitialized);
    std::srand(7);
    for (char& c : noise)
        c = char(std::rand());
    EXPECT_TRUE(DecodeJpeg(noise).isNull());
    noise[0] = char(0xFF);
    noise[1] = char(0xD8);
    EXPECT_TRUE(DecodeJpeg(noise).isNull());

    // Cut anywhere: inside the headers, inside the scan, just before the end marker.
    for (const qsizetype length : {qsizetype(20), qsizetype(200), good.size() / 2, good.size() - 2})
        EXPECT_TRUE(DecodeJpeg(good.left(length)).isNull()) << "cut at " << length;
}

TEST(DecodeJpeg, RefusesAbsurdDimensionsBeforeAllocating)
{
    const QByteArray good = GradientJpeg();
    EXPECT_TRUE(DecodeJpeg(WithFrameSize(good, 65000, 65000)).isNull());
    EXPECT_TRUE(DecodeJpeg(WithFrameSize(good, kMaxJpegSide + 1, 8)).isNull());
    EXPECT_TRUE(DecodeJpeg(WithFrameSize(good, 8, kMaxJpegSide + 1)).isNull());
    EXPECT_TRUE(DecodeJpeg(WithFrameSize(good, 5000, 5000)).isNull());  // sides fine, area too large
    EXPECT_TRUE(DecodeJpeg(WithFrameSize(good, 0, 24)).isNull());
}

TEST(DecodeJpeg, SizeLimitsApplyToOtherwiseValidPictures)
{
    const auto plain = [](int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return EncodeWithQt(image);
    };
    EXPECT_EQ(DecodeJpeg(plain(kMaxJpegSide, 8)).size(), QSize(kMaxJpegSide, 8));
    EXPECT_TRUE(DecodeJpeg(plain(kMaxJpegSide + 1, 8)).isNull());
    EXPECT_TRUE(DecodeJpeg(plain(8, kMaxJpegSide + 1)).isNull());
    EXPECT_TRUE(DecodeJpeg(plain(kMaxJpegSide, int(kMaxJpegPixels / kMaxJpegSide) + 1)).isNull());
}

TEST(DecodeJpeg, RefusesFilesWithAnAbsurdNumberOfScans)
{
    EXPECT_EQ(DecodeJpeg(ManyScanJpeg(40)).size(), QSize(16, 16));  // 201 scans
    EXPECT_TRUE(DecodeJpeg(ManyScanJpeg(63)).isNull());              // 316 scans
}
