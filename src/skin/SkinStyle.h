#pragma once

#include "skin/SkinSettings.h"

#include <QProxyStyle>

class TSkinComponent;
struct TSkinPictures;

// The drawing engine: the system style with the skin's pictures in place of the
// controls' own look. One per skin component; the skinning objects set it on
// the controls of the windows they skin. A control kind missing from the
// component's SkinControls, or a control of a kind the engine does not know,
// is drawn by the system style.
class TSkinStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit TSkinStyle(const TSkinComponent& component);

    // Whether the control is drawn with the skin as the given kind.
    bool Skins(const QWidget* widget, TSkinControl kind) const;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    const TSkinPictures* Pictures() const;
    bool DrawSkinnedPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const;
    bool DrawSkinnedControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const;
    bool DrawScrollBar(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    bool DrawComboBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    bool DrawSpinBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    bool DrawSlider(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    bool DrawGroupBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;

    const TSkinComponent& component_;
};

// Which of a picture's first four states a control is in: 0 normal, 1 mouse
// over, 2 pressed, 3 disabled.
int StateFrame(const QStyleOption& option, bool pressed);
