#include "ui/ScaledPicture.h"

#include <QEvent>
#include <QLabel>

#include <cmath>
#include <utility>

TScaledPicture::TScaledPicture(QImage single, QImage twice) : single_(std::move(single)), twice_(std::move(twice))
{
    if (twice_.size() != single_.size() * 2)
        twice_ = QImage();
}

QPixmap TScaledPicture::ForScale(qreal scale) const
{
    if (single_.isNull() || !(scale > 0))
        return {};
    const bool useTwice = scale > 1 && !twice_.isNull();
    const QImage& source = useTwice ? twice_ : single_;
    const qreal sourceScale = useTwice ? 2 : 1;
    const bool exact = qFuzzyCompare(scale, sourceScale);
    QImage drawn = source;
    if (!exact) {
        const QSize pixels(static_cast<int>(std::lround(single_.width() * scale)),
                           static_cast<int>(std::lround(single_.height() * scale)));
        drawn = source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(drawn);
    pixmap.setDevicePixelRatio(exact ? sourceScale : scale);
    return pixmap;
}

namespace {

// Watches a label's paints: the first paint on a screen of another scale sets
// the picture for that scale before the label draws it.
class ScalePictureFilter final : public QObject {
public:
    ScalePictureFilter(QLabel* label, TScaledPicture picture) : QObject(label), picture_(std::move(picture))
    {
        label->installEventFilter(this);
        Apply(label);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            if (auto* label = qobject_cast<QLabel*>(watched); label && label->devicePixelRatio() != scale_)
                Apply(label);
        return false;
    }

private:
    void Apply(QLabel* label)
    {
        scale_ = label->devicePixelRatio();
        label->setPixmap(picture_.ForScale(scale_));
    }

    TScaledPicture picture_;
    qreal scale_ = 0;
};

} // namespace

void ShowScaledPicture(QLabel* label, const TScaledPicture& picture)
{
    new ScalePictureFilter(label, picture);
}
