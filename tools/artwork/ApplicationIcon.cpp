#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace artwork {
namespace {

const QColor kCover(0xD2, 0x3F, 0x3A);  // the banner's address book
const std::array<QColor, 3> kTabColors = {QColor(0xF4, 0xC2, 0x30), QColor(0x4C, 0xAF, 0x6E),
                                          QColor(0x3A, 0x8D, 0xDE)};

// Rounds a length in units of a 16-pixel icon to whole pixels of this size.
int Px(int size, qreal sixteenths)
{
    return qMax(1, static_cast<int>(std::lround(sixteenths * size / 16.0)));
}

// A 1-pixel outline drawn inside a whole-pixel rectangle, so its edges stay sharp.
void OutlineRect(QPainter& painter, const QRect& rect, const QColor& line)
{
    painter.setPen(QPen(line, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
}

// The address book laid out on the pixel grid for the small sizes, where the
// vector drawing of the large ones would blur into a smudge: whole-pixel
// cover, page block, spine and index tabs, and a contact silhouette big enough
// to read at 16 pixels.
QImage PaintSmallAddressBook(int size)
{
    QImage image = TransparentCanvas(size, size);
    QPainter painter(&image);

    // From the left: cover, pages, index tabs; the tabs keep two pixels at 16.
    const int top = Px(size, 1);
    const int height = size - 2 * top;
    const int tabWidth = Px(size, 2);
    const int pageWidth = Px(size, 1) + 1;
    const QRect cover(Px(size, 1), top, size - Px(size, 1) - pageWidth - tabWidth, height);
    const QRect pages(cover.right() + 1, top + Px(size, 1), pageWidth, height - Px(size, 1));
    const int tabLeft = pages.right() + 1;

    // Index tabs behind the pages, then the pages behind the cover.
    const int tabHeight = Px(size, 2);
    const int tabStep = tabHeight + Px(size, 1);
    for (size_t i = 0; i < kTabColors.size(); ++i) {
        const QRect tab(tabLeft, cover.top() + Px(size, 2) + tabStep * static_cast<int>(i), tabWidth, tabHeight);
        painter.fillRect(tab, kTabColors[i]);
    }
    painter.fillRect(pages, QColor(0xFB, 0xF9, 0xF4));
    const QColor pageEdge(0x9C, 0x95, 0x88);
    painter.fillRect(QRect(pages.right(), pages.top(), 1, pages.height()), pageEdge);
    painter.fillRect(QRect(pages.left(), pages.bottom(), pages.width(), 1), pageEdge);

    QLinearGradient shade(cover.topLeft(), cover.bottomLeft());
    shade.setColorAt(0, kCover.lighter(112));
    shade.setColorAt(1, kCover.darker(112));
    painter.fillRect(cover, shade);
    const QRect spine(cover.left(), cover.top(), Px(size, 3), cover.height());
    painter.fillRect(spine, QColor(0, 0, 0, 55));
    OutlineRect(painter, cover, kCover.darker(175));

    // Ring binding over the cover's left edge, where there are pixels enough for it.
    if (size >= 22) {
        const int rings = 4;
        const int ringHeight = Px(size, 1);
        for (int i = 0; i < rings; ++i) {
            const int y = cover.top() + (cover.height() * (2 * i + 1)) / (2 * rings) - ringHeight / 2;
            const QRect ring(cover.left() - 1, y, Px(size, 3), ringHeight);
            painter.fillRect(ring, QColor(0x4A, 0x4F, 0x57));
            painter.fillRect(QRect(ring.left() + 1, y, ring.width() - 2, 1), QColor(0xDC, 0xE1, 0xE7));
        }
    }

    // The contact on the cover's face, right of the spine.
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal faceLeft = spine.right() + 1;
    const qreal faceWidth = cover.right() - faceLeft;
    const qreal centreX = faceLeft + faceWidth / 2;
    const qreal headRadius = size * 0.125;
    const qreal headY = cover.top() + cover.height() * 0.36;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(centreX, headY), headRadius, headRadius);
    QPainterPath shoulders;
    const qreal shoulderTop = headY + headRadius + size / 16.0;
    shoulders.addRoundedRect(QRectF(centreX - size * 0.22, shoulderTop, size * 0.44, size * 0.5), size * 0.2,
                             size * 0.2);
    QPainterPath within;
    within.addRect(QRectF(faceLeft, cover.top(), faceWidth, cover.bottom() - Px(size, 2) + 1 - cover.top()));
    painter.drawPath(shoulders.intersected(within));
    return image;
}

} // namespace

QImage PaintApplicationIcon(int size)
{
    if (size < 48)
        return PaintSmallAddressBook(size);
    QImage image = TransparentCanvas(size, size);
    QPainter painter(&image);
    const qreal margin = size * 0.06;
    PaintAddressBook(painter, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), kCover,
                     CoverEmblem::Contact);
    return image;
}

} // namespace artwork
