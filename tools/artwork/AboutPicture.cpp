#include "Artwork.h"

#include <QPainter>
#include <QRadialGradient>

namespace artwork {

QImage PaintAboutPicture(int scale)
{
    constexpr int kWidth = 300;
    constexpr int kHeight = 296;
    QImage image = Canvas(kWidth, kHeight, scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // A bright studio backdrop, lit from above.
    QRadialGradient backdrop(QPointF(kWidth * 0.5, kHeight * 0.35), kWidth * 0.85);
    backdrop.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    backdrop.setColorAt(0.7, QColor(0xEE, 0xF1, 0xF5));
    backdrop.setColorAt(1, QColor(0xDD, 0xE3, 0xEA));
    painter.fillRect(0, 0, kWidth, kHeight, backdrop);

    // The book's shadow on the surface it stands on.
    QRadialGradient shadow(QPointF(150, 266), 120);
    shadow.setColorAt(0, QColor(0x30, 0x38, 0x48, 110));
    shadow.setColorAt(1, QColor(0x30, 0x38, 0x48, 0));
    painter.save();
    painter.translate(150, 266);
    painter.scale(1.0, 0.14);
    painter.translate(-150, -266);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(150, 266), 120, 120);
    painter.restore();

    PaintAddressBook(painter, QRectF(44, 18, 218, 250), QColor(0xCC, 0x2A, 0x2A), CoverEmblem::AtSign);
    return image;
}

} // namespace artwork
