// A picture drawn at 1x and 2x, shown at its own size on screens of any scale.
#include "ui/ScaledPicture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage Filled(QSize size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(ScaledPicture, EachScaleGetsTheSharperDrawingAtItsOwnPixels)
{
    const QSize own(10, 6);
    const QImage single = Filled(own, Qt::red);
    const QImage twice = Filled(own * 2, Qt::blue);
    struct Row {
        qreal scale;
        QImage twice;
        QSize pixels;
        Qt::GlobalColor drawnFrom;
    };
    const Row rows[] = {
        {1, twice, {10, 6}, Qt::red},
        {2, twice, {20, 12}, Qt::blue},
        // Between and beyond: the 2x drawing, scaled to the screen's pixels.
        {1.5, twice, {15, 9}, Qt::blue},
        {1.25, twice, {13, 8}, Qt::blue},
        {3, twice, {30, 18}, Qt::blue},
        {0.5, twice, {5, 3}, Qt::red},
        // A missing 2x drawing, or one of another size, leaves the 1x one.
        {2, QImage(), {20, 12}, Qt::red},
        {2, Filled(own * 3, Qt::blue), {20, 12}, Qt::red},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "scale " << row.scale << ", 2x " << row.twice.width());
        const QPixmap pixmap = TScaledPicture(single, row.twice).ForScale(row.scale);
        EXPECT_EQ(pixmap.size(), row.pixels);
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), row.scale);
        EXPECT_NEAR(pixmap.deviceIndependentSize().width(), own.width(), 0.5);
        EXPECT_NEAR(pixmap.deviceIndependentSize().height(), own.height(), 0.5);
        EXPECT_EQ(pixmap.toImage().pixel(pixmap.width() / 2, pixmap.height() / 2), QColor(row.drawnFrom).rgb());
    }
    EXPECT_TRUE(TScaledPicture(single, twice).ForScale(0).isNull());
    EXPECT_TRUE(TScaledPicture(single, twice).ForScale(std::nan("")).isNull());
    EXPECT_TRUE(TScaledPicture(QImage(), twice).ForScale(2).isNull());
}
