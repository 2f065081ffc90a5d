#pragma once

#include <QCache>
#include <QMargins>
#include <QPixmap>

#include <memory>
#include <vector>

class QImage;
class QPainter;
class QRect;

// One picture of the skin made ready for painting: cut into its frames (side by
// side, equal widths), magenta made transparent, and drawn either as nine
// slices (fixed edges, the middle stretched or tiled) or unscaled. A nine-slice
// drawing is composed once per frame and size and then only copied, so painting
// never scales the skin's bitmaps again.
class TSkinPicture {
public:
    TSkinPicture() = default;
    TSkinPicture(const QImage& image, int frames, QMargins edges = {}, bool tile = false);

    bool IsNull() const { return frames_.empty(); }
    int Frames() const { return static_cast<int>(frames_.size()); }
    QSize FrameSize() const;
    QMargins Edges() const { return edges_; }
    // A frame; an index beyond the last gives the last (a picture with fewer
    // states than asked for shows its nearest one).
    const QPixmap& Frame(int index) const;

    // The frame as nine slices filling the rectangle.
    void Draw(QPainter& painter, const QRect& target, int frame) const;
    // The frame at its own size, centred in the rectangle.
    void DrawCentred(QPainter& painter, const QRect& target, int frame) const;
    // The frame composed at a size, from the cache.
    QPixmap Composed(int frame, QSize size) const;

    int CachedCount() const { return cache_ ? static_cast<int>(cache_->count()) : 0; }

private:
    std::vector<QPixmap> frames_;
    QMargins edges_;
    bool tile_ = false;
    using Cache = QCache<quint64, QPixmap>;  // cost: pixels
    mutable std::unique_ptr<Cache> cache_ = std::make_unique<Cache>(1 << 22);
};

// The image with pure magenta turned transparent.
QImage WithMagentaTransparent(const QImage& image);
