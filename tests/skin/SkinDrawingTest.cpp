// The drawing engine paints with the skin's own pictures.
#include "SkinFixture.h"

#include "skin/SkinPicture.h"
#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"
#include "ui/ScaledPicture.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

namespace {

// Every opaque pixel of the picture's corner appears unchanged at the corner of the image.
void ExpectCornerFrom(const QImage& painted, const QImage& picture, QPoint paintedAt, QPoint pictureAt, int size)
{
    int compared = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb expected = picture.pixel(pictureAt + QPoint(x, y));
            if (qAlpha(expected) != 255)
                continue;
            ++compared;
            EXPECT_EQ(painted.pixel(paintedAt + QPoint(x, y)), expected) << "at " << x << "," << y;
        }
    EXPECT_GT(compared, size * size / 2);
}

QImage Frame(const TSkinPicture& picture, int frame)
{
    return picture.Frame(frame).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class SkinDrawing : public SkinFixture {
protected:
    SkinDrawing()
    {
        LoadSkin();
        window.resize(300, 200);
        EXPECT_TRUE(Manager().SkinDecision(&window));
    }
    ~SkinDrawing() override { Manager().UnskinWindow(&window); }

    QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32); }
    const TSkinPictures& Pictures() { return *skin->Pictures(); }

    QWidget window;
};

TEST_F(SkinDrawing, PushButtonCornersComeFromTheSkinsBitmap)
{
    auto* button = new QPushButton(QStringLiteral("搜索"), &window);
    button->setGeometry(20, 20, 75, 25);
    const QImage painted = Grab(button);
    const QImage normal = Frame(Pictures().Push, 0);
    const int edge = 5;
    ExpectCornerFrom(painted, normal, {0, 0}, {0, 0}, edge);
    ExpectCornerFrom(painted, normal, {75 - edge, 25 - edge}, {normal.width() - edge, normal.height() - edge}, edge);
    ExpectCornerFrom(painted, normal, {75 - edge, 0}, {normal.width() - edge, 0}, edge);
}

TEST_F(SkinDrawing, DefaultAndDisabledButtonsUseTheirOwnFrames)
{
    auto* button = new QPushButton(&window);
    button->setGeometry(20, 20, 60, 24);
    button->setDefault(true);
    ExpectCornerFrom(Grab(button), Frame(Pictures().Push, 4), {0, 0}, {0, 0}, 5);
    button->setDefault(false);
    button->setEnabled(false);
    ExpectCornerFrom(Grab(button), Frame(Pictures().Push, 3), {0, 0}, {0, 0}, 5);
}

TEST_F(SkinDrawing, CheckBoxShowsTheCheckedFrameOfItsStrip)
{
    auto* box = new QCheckBox(QStringLiteral("记住"), &window);
    box->setChecked(true);
    box->adjustSize();
    const QImage painted = Grab(box);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    EXPECT_EQ(indicator.size(), Pictures().Check.FrameSize());
    ExpectCornerFrom(painted, Frame(Pictures().Check, 4), indicator.topLeft() + QPoint(4, 4), {4, 4}, 8);
}

TEST_F(SkinDrawing, WindowPaletteComesFromTheSkinsColours)
{
    const QPalette palette = window.palette();
    EXPECT_EQ(palette.color(QPalette::Window), QColor(238, 241, 245));
    EXPECT_EQ(palette.color(QPalette::ButtonText), QColor(32, 40, 48));
    EXPECT_EQ(palette.color(QPalette::Highlight), QColor(61, 124, 192));
}

// On a screen of scale 2 the skin's style draws a picture (as a label draws
// the banner) from its 2x drawing pixel for pixel, at the picture's own size.
TEST_F(SkinDrawing, PicturesForScaleTwoLandAtTheirOwnSize)
{
    QImage twice(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < twice.height(); ++y)
        for (int x = 0; x < twice.width(); ++x)
            twice.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0));
    QImage single(20, 10, QImage::Format_RGB32);
    single.fill(Qt::red);
    QStyle* style = window.style();
    ASSERT_TRUE(qobject_cast<const TSkinStyle*>(style));

    QImage painted(QSize(30, 20) * 2, QImage::Format_RGB32);
    painted.setDevicePixelRatio(2);
    painted.fill(Qt::white);
    QPainter painter(&painted);
    style->drawItemPixmap(&painter, QRect(0, 0, 30, 20), Qt::AlignLeft | Qt::AlignTop,
                                   TScaledPicture(single, twice).ForScale(2));
    painter.end();
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
            ASSERT_EQ(painted.pixel(x, y), x < 40 && y < 20 ? twice.pixel(x, y) : qRgb(255, 255, 255)) << x << "," << y;
}

TEST(SkinPicture, NineSlicesKeepTheEdgesAndAreComposedOncePerSize)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixel(0, 0, qRgb(200, 0, 0));    // frame 0, top left corner
    image.setPixel(9, 9, qRgb(0, 200, 0));    // frame 0, bottom right corner
    image.setPixel(10, 0, qRgb(255, 0, 255));  // frame 1: magenta is transparent
    const TSkinPicture picture(image, 2, QMargins(2, 2, 2, 2));
    ASSERT_EQ(picture.Frames(), 2);
    EXPECT_EQ(picture.FrameSize(), QSize(10, 10));

    const QImage big = picture.Composed(0, QSize(40, 30)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(big.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(big.pixel(39, 29), qRgb(0, 200, 0));
    EXPECT_EQ(big.pixel(20, 15), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(picture.Frame(1).toImage().pixel(0, 0)), 0);
    EXPECT_EQ(picture.CachedCount(), 1);

    QImage target(50, 50, QImage::Format_ARGB32);
    QPainter painter(&target);
    picture.Draw(painter, QRect(0, 0, 40, 30), 0);
    picture.Draw(painter, QRect(5, 5, 40, 30), 0);
    EXPECT_EQ(picture.CachedCount(), 1);  // the same size is copied, not composed again
    picture.Draw(painter, QRect(0, 0, 41, 30), 0);
    EXPECT_EQ(picture.CachedCount(), 2);
    // A frame past the last shows the last; an empty picture draws nothing.
    EXPECT_EQ(picture.Frame(7).cacheKey(), picture.Frame(1).cacheKey());
    TSkinPicture none;
    none.Draw(painter, QRect(0, 0, 10, 10), 0);
    EXPECT_TRUE(none.IsNull());
}
