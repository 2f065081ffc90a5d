#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace artwork {
namespace {

// A fountain pen lying from the lower left to the upper right, nib at tip.
void PaintPen(QPainter& painter, QPointF tip, qreal length, qreal thickness)
{
    painter.save();
    painter.translate(tip);
    painter.rotate(-45);
    const qreal half = thickness / 2;
    const qreal nibLength = length * 0.28;

    QPainterPath nib;
    nib.moveTo(0, 0);
    nib.lineTo(nibLength, -half);
    nib.lineTo(nibLength, half);
    nib.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3B, 0x42, 0x4C));
    painter.drawPath(nib);

    const QRectF body(nibLength, -half, length - nibLength, thickness);
    QLinearGradient barrel(0, -half, 0, half);
    barrel.setColorAt(0, QColor(0xFF, 0xD0, 0x6B));
    barrel.setColorAt(1, QColor(0xD9, 0x85, 0x1E));
    painter.setBrush(barrel);
    painter.setPen(QPen(QColor(0x8A, 0x4E, 0x0C), 0.7));
    painter.drawRoundedRect(body, half * 0.6, half * 0.6);

    // The clip band near the end.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5A, 0x35, 0x0C));
    painter.drawRect(QRectF(length * 0.78, -half, length * 0.09, thickness));
    painter.restore();
}

// A blue round badge with a white contact silhouette, sized for small icons.
void PaintContactBadge(QPainter& painter, QPointF centre, qreal radius)
{
    painter.save();
    QLinearGradient shade(centre.x(), centre.y() - radius, centre.x(), centre.y() + radius);
    shade.setColorAt(0, QColor(0x4A, 0x9B, 0xF0));
    shade.setColorAt(1, QColor(0x1C, 0x5F, 0xC0));
    painter.setPen(QPen(QColor(0x12, 0x44, 0x8C), 0.8));
    painter.setBrush(shade);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath disc;
    disc.addEllipse(centre, radius - 0.4, radius - 0.4);
    painter.setClipPath(disc);
    PaintContactSilhouette(painter,
                           QRectF(centre.x() - radius * 0.68, centre.y() - radius * 0.72, radius * 1.36, radius * 1.5),
                           Qt::white);
    painter.restore();
}

} // namespace

QImage PaintWindowIcon(int scale)
{
    QImage image = TransparentCanvas(16, 16, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPen(painter, QPointF(1.2, 14.8), 17.0, 4.0);
    PaintContactBadge(painter, QPointF(11.2, 11.2), 4.2);
    return image;
}

QImage PaintTrayIcon(int scale)
{
    QImage image = TransparentCanvas(32, 32, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The page with its top right corner folded over.
    const QRectF page(4.5, 1.5, 23, 29);
    const qreal fold = 7;
    QPainterPath sheet;
    sheet.moveTo(page.left(), page.top());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.right(), page.bottom());
    sheet.lineTo(page.left(), page.bottom());
    sheet.closeSubpath();
    QLinearGradient paper(page.topLeft(), page.bottomRight());
    paper.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    paper.setColorAt(1, QColor(0xE4, 0xEA, 0xF1));
    painter.setPen(QPen(QColor(0x5C, 0x6F, 0x86), 1.0));
    painter.setBrush(paper);
    painter.drawPath(sheet);

    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    corner.closeSubpath();
    painter.setBrush(QColor(0xC9, 0xD4, 0xE0));
    painter.drawPath(corner);

    // A header bar, then three contacts with an avatar and two lines each.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2F, 0x7E, 0xD8));
    painter.drawRoundedRect(QRectF(7.5, 4.5, 12.5, 3), 1, 1);
    static const std::array<QColor, 3> kAvatarColors = {
        QColor(0xE0, 0x4B, 0x3F), QColor(0x2F, 0x9E, 0x5B), QColor(0xF0, 0x9A, 0x2A)};
    for (size_t i = 0; i < kAvatarColors.size(); ++i) {
        const qreal top = 10.5 + 6.5 * static_cast<qreal>(i);
        painter.setBrush(kAvatarColors[i]);
        painter.drawEllipse(QRectF(7.5, top, 5, 5));
        painter.setBrush(QColor(0x56, 0x66, 0x7A));
        painter.drawRoundedRect(QRectF(14, top + 0.5, 10.5, 1.8), 0.9, 0.9);
        painter.setBrush(QColor(0xA9, 0xB5, 0xC4));
        painter.drawRoundedRect(QRectF(14, top + 3.2, 7.5, 1.5), 0.75, 0.75);
    }
    return image;
}

} // namespace artwork
