#include "skin/SkinPicture.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

// A colour drawn half over magenta: red and blue well above green.
bool MagentaTinted(QRgb pixel)
{
    return qRed(pixel) > qGreen(pixel) + 40 && qBlue(pixel) > qGreen(pixel) + 40;
}

// Takes the magenta back out of an edge pixel that was smoothed into the
// transparent background: the colour of its plain neighbours, with the share
// of it that the pixel's green channel shows as its opacity.
QRgb Unblended(const QImage& source, int x, int y)
{
    int red = 0, green = 0, blue = 0, count = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= source.width() || ny >= source.height())
                continue;
            const QRgb neighbour = source.pixel(nx, ny);
            if (neighbour == kMagenta || MagentaTinted(neighbour))
                continue;
            red += qRed(neighbour), green += qGreen(neighbour), blue += qBlue(neighbour), ++count;
        }
    if (count == 0 || green == 0)
        return 0;
    red /= count, green /= count, blue /= count;
    const int alpha = std::clamp(255 * qGreen(source.pixel(x, y)) / green, 0, 255);
    return qPremultiply(qRgba(red, green, blue, alpha));
}

bool NextToMagenta(const QImage& source, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < source.width() && ny < source.height() &&
                (source.pixel(nx, ny) == kMagenta || (MagentaTinted(source.pixel(nx, ny)) && (dx || dy))))
                return true;
        }
    return false;
}

} // namespace

QImage WithMagentaTransparent(const QImage& image)
{
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < source.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (pixel == kMagenta)
                line[x] = 0;
            else if (MagentaTinted(pixel) && NextToMagenta(source, x, y))
                line[x] = Unblended(source, x, y);
        }
    }
    return result;
}

TSkinPicture::TSkinPicture(const QImage& image, int frames, QMargins edges, bool tile) : edges_(edges), tile_(tile)
{
    if (image.isNull())
        return;
    frames = std::clamp(frames, 1, std::max(1, image.width()));
    const QImage clear = WithMagentaTransparent(image);
    const int width = clear.width() / frames;
    for (int i = 0; i < frames; ++i)
        frames_.push_back(QPixmap::fromImage(clear.copy(i * width, 0, width, clear.height())));
}

QSize TSkinPicture::FrameSize() const
{
    return frames_.empty() ? QSize() : frames_.front().size();
}

const QPixmap& TSkinPicture::Frame(int index) const
{
    static const QPixmap none;
    if (frames_.empty())
        return none;
    return frames_[static_cast<std::size_t>(std::clamp(index, 0, Frames() - 1))];
}

namespace {

// Fills target with the source part, stretched or repeated.
void Fill(QPainter& painter, const QRect& target, const QPixmap& source, const QRect& part, bool tile)
{
    if (target.isEmpty() || part.isEmpty())
        return;
    if (tile)
        painter.drawTiledPixmap(target, source.copy(part));
    else
        painter.drawPixmap(target, source, part);
}

} // namespace

QPixmap TSkinPicture::Composed(int frame, QSize size) const
{
    frame = std::clamp(frame, 0, std::max(0, Frames() - 1));
    const quint64 key = (quint64(frame) << 40) | (quint64(size.width() & 0xFFFFF) << 20) | quint64(size.height() & 0xFFFFF);
    if (!cache_)
        cache_ = std::make_unique<Cache>(1 << 22);
    if (const QPixmap* cached = cache_->object(key))
        return *cached;

    auto composed = std::make_unique<QPixmap>(size);
    composed->fill(Qt::transparent);
    if (!frames_.empty() && !size.isEmpty()) {
        const QPixmap& source = Frame(frame);
        QPainter painter(composed.get());
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // Edges never take more than the picture or the target has room for.
        const int l = std::min({edges_.left(), source.width() / 2, size.width() / 2});
        const int r = std::min({edges_.right(), source.width() - l, size.width() - l});
        const int t = std::min({edges_.top(), source.height() / 2, size.height() / 2});
        const int b = std::min({edges_.bottom(), source.height() - t, size.height() - t});
        const int sw = source.width(), sh = source.height();
        const int tw = size.width(), th = size.height();
        const int sx[] = {0, l, sw - r, sw};
        const int sy[] = {0, t, sh - b, sh};
        const int tx[] = {0, l, tw - r, tw};
        const int ty[] = {0, t, th - b, th};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                const QRect from(sx[column], sy[row], sx[column + 1] - sx[column], sy[row + 1] - sy[row]);
                const QRect to(tx[column], ty[row], tx[column + 1] - tx[column], ty[row + 1] - ty[row]);
                const bool middle = row == 1 || column == 1;
                Fill(painter, to, source, from, tile_ && middle);
            }
    }
    const QPixmap result = *composed;
    cache_->insert(key, composed.release(), std::max(1, size.width() * size.height()));
    return result;
}

void TSkinPicture::Draw(QPainter& painter, const QRect& target, int frame) const
{
    if (frames_.empty() || target.isEmpty())
        return;
    painter.drawPixmap(target.topLeft(), Composed(frame, target.size()));
}

void TSkinPicture::DrawCentred(QPainter& painter, const QRect& target, int frame) const
{
    if (frames_.empty())
        return;
    const QPixmap& picture = Frame(frame);
    const QPoint at(target.x() + (target.width() - picture.width()) / 2,
                    target.y() + (target.height() - picture.height()) / 2);
    painter.drawPixmap(at, picture);
}
