#pragma once

#include <QImage>
#include <QPixmap>

class QLabel;

// A picture drawn at its own size and again at twice that, for screens of
// scale 2 (the artwork's "@2x" files). On a screen of any scale it is shown at
// its own size in logical pixels, from the sharper drawing.
class TScaledPicture {
public:
    TScaledPicture() = default;
    // twice may be null (a picture without a 2x drawing) or of any other
    // size: then the picture is drawn from single alone.
    TScaledPicture(QImage single, QImage twice);

    bool IsNull() const { return single_.isNull(); }
    // The picture's own size, in logical pixels.
    QSize Size() const { return single_.size(); }
    // The picture for a screen of this scale: the 1x or 2x drawing as it is
    // where the scale is theirs, else the nearest above scaled smoothly to the
    // screen's pixels. Its device pixel ratio is the scale.
    QPixmap ForScale(qreal scale) const;

private:
    QImage single_;
    QImage twice_;
};

// Gives the label the picture for the scale of the screen it is on, and again
// whenever it comes to be painted on a screen of another scale (a window moved
// to another monitor, a desktop's scale changed).
void ShowScaledPicture(QLabel* label, const TScaledPicture& picture);
