#include "Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace artwork {
namespace {

constexpr int kWidth = 716;
constexpr int kHeight = 56;

QFont Font(const char* family, int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void PaintBackground(QPainter& painter)
{
    QLinearGradient sky(0, 0, kWidth, 0);
    sky.setColorAt(0, QColor(0x14, 0x2B, 0x45));
    sky.setColorAt(0.55, QColor(0x1D, 0x47, 0x6E));
    sky.setColorAt(1, QColor(0x27, 0x62, 0x8C));
    painter.fillRect(0, 0, kWidth, kHeight, sky);

    // A soft glow behind the product name.
    QRadialGradient glow(QPointF(90, 28), 140);
    glow.setColorAt(0, QColor(0x5B, 0x9B, 0xD5, 70));
    glow.setColorAt(1, QColor(0x5B, 0x9B, 0xD5, 0));
    painter.fillRect(0, 0, kWidth, kHeight, glow);

    // Two faint diagonal bands give the strip some depth without clutter.
    painter.setPen(Qt::NoPen);
    for (const auto& [start, width, alpha] : {std::tuple{330.0, 90.0, 16}, std::tuple{445.0, 36.0, 12}}) {
        QPainterPath band;
        band.moveTo(start, kHeight);
        band.lineTo(start + 40, 0);
        band.lineTo(start + 40 + width, 0);
        band.lineTo(start + width, kHeight);
        band.closeSubpath();
        painter.setBrush(QColor(255, 255, 255, alpha));
        painter.drawPath(band);
    }

    // A light edge on top and an accent line along the bottom.
    painter.fillRect(0, 0, kWidth, 1, QColor(255, 255, 255, 45));
    QLinearGradient accent(0, 0, kWidth, 0);
    accent.setColorAt(0, QColor(0xE0, 0x5A, 0x4F));
    accent.setColorAt(0.45, QColor(0xF2, 0xB1, 0x4C));
    accent.setColorAt(1, QColor(0xF2, 0xB1, 0x4C, 40));
    painter.fillRect(0, kHeight - 2, kWidth, 2, accent);
}

void PaintNameBlock(QPainter& painter)
{
    PaintAddressBook(painter, QRectF(14, 7, 42, 41), QColor(0xD2, 0x3F, 0x3A), CoverEmblem::Contact);

    painter.setPen(QColor(0, 0, 0, 90));
    painter.setFont(Font(kLatinFamily, 25, QFont::Bold));
    painter.drawText(QPointF(69, 31), QStringLiteral("Quillory"));
    painter.setPen(Qt::white);
    painter.drawText(QPointF(68, 30), QStringLiteral("Quillory"));

    painter.setPen(QColor(0xB8, 0xD0, 0xE6));
    painter.setFont(Font(kChineseFamily, 12));
    painter.drawText(QPointF(69, 47), QStringLiteral("个人帐号与通讯录管家"));
}

void PaintSloganBlock(QPainter& painter)
{
    const qreal right = kWidth - 16;
    const QFont sloganFont = Font(kChineseFamily, 16);
    const QString slogan = QStringLiteral("帐号联系人  加密保管  随手可查");
    painter.setFont(sloganFont);
    painter.setPen(QColor(0xF4, 0xF7, 0xFB));
    painter.drawText(QPointF(right - QFontMetricsF(sloganFont).horizontalAdvance(slogan), 27), slogan);

    const QFont creditFont = Font(kChineseFamily, 11);
    const QString credit = QStringLiteral("Brightmoor 工作室 出品  ·  版权所有 © 2010");
    painter.setFont(creditFont);
    painter.setPen(QColor(0x9F, 0xBC, 0xD8));
    painter.drawText(QPointF(right - QFontMetricsF(creditFont).horizontalAdvance(credit), 45), credit);
}

} // namespace

QImage PaintBanner(int scale)
{
    QImage image = Canvas(kWidth, kHeight, scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    PaintBackground(painter);
    PaintNameBlock(painter);
    PaintSloganBlock(painter);
    return image;
}

} // namespace artwork
