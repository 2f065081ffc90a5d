#include "Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace artwork {

QImage Canvas(int width, int height, int scale, QImage::Format format)
{
    QImage image(width * scale, height * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

QImage TransparentCanvas(int width, int height, int scale)
{
    QImage image = Canvas(width, height, scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void PaintContactSilhouette(QPainter& painter, const QRectF& bounds, const QColor& color)
{
    const qreal w = bounds.width();
    const qreal h = bounds.height();
    QPainterPath figure;
    const qreal headRadius = 0.21 * w;
    figure.addEllipse(QPointF(bounds.center().x(), bounds.top() + 0.30 * h), headRadius, headRadius * h / w);
    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(bounds.left() + 0.08 * w, bounds.top() + 0.60 * h, 0.84 * w, 0.80 * h));
    QPainterPath clip;
    clip.addRect(bounds);
    figure = figure.united(shoulders.intersected(clip));

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(figure);
    painter.restore();
}

namespace {

void PaintIndexTabs(QPainter& painter, qreal left, qreal top, qreal width, qreal bodyHeight)
{
    static const std::array<QColor, 4> kTabColors = {
        QColor(0xF4, 0xC2, 0x30), QColor(0x4C, 0xAF, 0x6E), QColor(0x3A, 0x8D, 0xDE), QColor(0xF0, 0x8A, 0x3C)};
    const qreal tabHeight = bodyHeight * 0.14;
    const qreal step = bodyHeight * 0.19;
    for (size_t i = 0; i < kTabColors.size(); ++i) {
        const QRectF tab(left, top + bodyHeight * 0.12 + step * static_cast<qreal>(i), width, tabHeight);
        QLinearGradient shade(tab.topLeft(), tab.topRight());
        shade.setColorAt(0, kTabColors[i].darker(115));
        shade.setColorAt(1, kTabColors[i]);
        painter.setPen(QPen(kTabColors[i].darker(150), qMax<qreal>(0.6, width * 0.04)));
        painter.setBrush(shade);
        painter.drawRoundedRect(tab, width * 0.3, width * 0.3);
    }
}

void PaintRings(QPainter& painter, qreal spineX, qreal top, qreal height, qreal unit)
{
    const int count = height > 80 ? 6 : 4;
    const qreal gap = height / count;
    const QPen dark(QColor(0x4A, 0x4F, 0x57), unit * 0.055, Qt::SolidLine, Qt::RoundCap);
    const QPen light(QColor(0xDC, 0xE1, 0xE7), unit * 0.028, Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < count; ++i) {
        const qreal y = top + gap * (i + 0.5);
        const QRectF loop(spineX - unit * 0.07, y - unit * 0.035, unit * 0.16, unit * 0.07);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(dark);
        painter.drawArc(loop, 0, 180 * 16);
        painter.setPen(light);
        painter.drawArc(loop.adjusted(unit * 0.01, -unit * 0.004, -unit * 0.01, 0), 30 * 16, 120 * 16);
    }
}

void PaintAtSign(QPainter& painter, const QRectF& area)
{
    QFont font(kLatinFamily);
    font.setBold(true);
    font.setPixelSize(qRound(area.height() * 1.05));
    QPainterPath glyph;
    glyph.addText(0, 0, font, QStringLiteral("@"));
    const QRectF box = glyph.boundingRect();
    const qreal scale = qMin(area.width() / box.width(), area.height() / box.height());
    QTransform fit;
    fit.translate(area.center().x(), area.center().y());
    fit.scale(scale, scale);
    fit.translate(-box.center().x(), -box.center().y());
    glyph = fit.map(glyph);

    painter.save();
    painter.setPen(Qt::NoPen);
    // A pressed-in look: a dark rim below, the light face above.
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawPath(glyph.translated(0, area.height() * 0.025));
    QLinearGradient face(area.topLeft(), area.bottomLeft());
    face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(1, QColor(0xF3, 0xE6, 0xE2));
    painter.setBrush(face);
    painter.drawPath(glyph);
    painter.restore();
}

} // namespace

void PaintAddressBook(QPainter& painter, const QRectF& bounds, const QColor& cover, CoverEmblem emblem)
{
    const qreal unit = bounds.width();
    const qreal bodyLeft = bounds.left() + unit * 0.07;
    const qreal bodyTop = bounds.top();
    const qreal bodyHeight = bounds.height() * 0.96;
    const qreal coverWidth = unit * 0.80;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // Index tabs peek out behind the pages on the right.
    PaintIndexTabs(painter, bodyLeft + coverWidth - unit * 0.02, bodyTop, unit * 0.13, bodyHeight);

    // The block of pages, a little lower and wider than the cover.
    const QRectF pages(bodyLeft + unit * 0.02, bodyTop + bounds.height() * 0.03, coverWidth + unit * 0.025,
                       bodyHeight);
    QLinearGradient paper(pages.topLeft(), pages.topRight());
    paper.setColorAt(0, QColor(0xEE, 0xEA, 0xE0));
    paper.setColorAt(1, QColor(0xFB, 0xF9, 0xF4));
    painter.setPen(QPen(QColor(0xB9, 0xB3, 0xA6), qMax<qreal>(0.5, unit * 0.008)));
    painter.setBrush(paper);
    painter.drawRoundedRect(pages, unit * 0.05, unit * 0.05);

    // The cover with a soft light from the top left.
    const QRectF coverRect(bodyLeft, bodyTop, coverWidth, bodyHeight);
    QLinearGradient coverShade(coverRect.topLeft(), coverRect.bottomRight());
    coverShade.setColorAt(0, cover.lighter(118));
    coverShade.setColorAt(0.55, cover);
    coverShade.setColorAt(1, cover.darker(125));
    painter.setPen(QPen(cover.darker(160), qMax<qreal>(0.6, unit * 0.01)));
    painter.setBrush(coverShade);
    painter.drawRoundedRect(coverRect, unit * 0.06, unit * 0.06);

    // The spine strip that the rings pass through.
    const qreal spineWidth = unit * 0.13;
    QPainterPath spine;
    spine.addRoundedRect(QRectF(coverRect.left(), coverRect.top(), spineWidth, coverRect.height()), unit * 0.06,
                         unit * 0.06);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));
    painter.drawPath(spine);
    painter.setPen(QPen(QColor(255, 255, 255, 60), qMax<qreal>(0.5, unit * 0.008)));
    painter.drawLine(QPointF(coverRect.left() + spineWidth, coverRect.top() + unit * 0.02),
                     QPointF(coverRect.left() + spineWidth, coverRect.bottom() - unit * 0.02));

    // A gentle gloss across the upper half of the cover.
    QPainterPath gloss;
    gloss.moveTo(coverRect.left() + spineWidth, coverRect.top());
    gloss.lineTo(coverRect.right() - unit * 0.04, coverRect.top());
    gloss.quadTo(coverRect.right(), coverRect.top(), coverRect.right(), coverRect.top() + unit * 0.04);
    gloss.lineTo(coverRect.right(), coverRect.top() + bodyHeight * 0.30);
    gloss.cubicTo(coverRect.right() - coverWidth * 0.3, coverRect.top() + bodyHeight * 0.42,
                  coverRect.left() + coverWidth * 0.45, coverRect.top() + bodyHeight * 0.22,
                  coverRect.left() + spineWidth, coverRect.top() + bodyHeight * 0.36);
    gloss.closeSubpath();
    QLinearGradient glossShade(coverRect.topLeft(), QPointF(coverRect.left(), coverRect.top() + bodyHeight * 0.4));
    glossShade.setColorAt(0, QColor(255, 255, 255, 70));
    glossShade.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glossShade);
    painter.drawPath(gloss);

    PaintRings(painter, coverRect.left() + spineWidth * 0.45, coverRect.top() + bodyHeight * 0.04,
               bodyHeight * 0.92, unit);

    // The emblem sits in the middle of the cover right of the spine.
    const QRectF face(coverRect.left() + spineWidth, coverRect.top(), coverWidth - spineWidth, bodyHeight);
    const qreal emblemSize = qMin(face.width(), face.height()) * 0.62;
    const QRectF emblemRect(face.center().x() - emblemSize / 2, face.center().y() - emblemSize / 2, emblemSize,
                            emblemSize);
    if (emblem == CoverEmblem::AtSign) {
        PaintAtSign(painter, emblemRect);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawEllipse(emblemRect);
        QPainterPath disc;
        disc.addEllipse(emblemRect.adjusted(emblemSize * 0.1, emblemSize * 0.1, -emblemSize * 0.1, -emblemSize * 0.1));
        painter.setClipPath(disc);
        PaintContactSilhouette(painter,
                               emblemRect.adjusted(emblemSize * 0.2, emblemSize * 0.16, -emblemSize * 0.2, 0),
                               cover.darker(115));
    }
    painter.restore();
}

} // namespace artwork
