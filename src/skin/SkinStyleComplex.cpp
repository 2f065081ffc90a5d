// The skin's pictures for the controls made of several parts: scroll bars,
// combo boxes, spin boxes, track bars and group boxes.
#include "skin/SkinStyle.h"

#include "skin/SkinComponent.h"
#include "skin/SkinPictures.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

void TSkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                    const QWidget* widget) const
{
    bool drawn = false;
    if (Pictures()) {
        switch (control) {
        case CC_ScrollBar: drawn = DrawScrollBar(option, painter, widget); break;
        case CC_ComboBox: drawn = DrawComboBox(option, painter, widget); break;
        case CC_SpinBox: drawn = DrawSpinBox(option, painter, widget); break;
        case CC_Slider: drawn = DrawSlider(option, painter, widget); break;
        case CC_GroupBox: drawn = DrawGroupBox(option, painter, widget); break;
        default: break;
        }
    }
    if (!drawn)
        QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect TSkinStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                 const QWidget* widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    // A group box's title sits on its label plate, clear of the rounded edge.
    if (control == CC_GroupBox && (part == SC_GroupBoxLabel || part == SC_GroupBoxCheckBox) && Pictures() &&
        Skins(widget, xcGroupBox)) {
        if (const auto& plate = Pictures()->Skin.Element(SkinPart::GroupBox))
            rect.translate(plate->BackgroundLeftShift + 2, 0);
    }
    return rect;
}

namespace {

// The state of one part of a complex control: pressed when it is the active
// part and sunken, mouse over when the pointer is on it.
int PartFrame(const QStyleOptionComplex& option, QStyle::SubControl part)
{
    if (!(option.state & QStyle::State_Enabled))
        return 3;
    if ((option.activeSubControls & part) && (option.state & QStyle::State_Sunken))
        return 2;
    if ((option.activeSubControls & part) && (option.state & QStyle::State_MouseOver))
        return 1;
    return 0;
}

} // namespace

bool TSkinStyle::DrawScrollBar(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const TSkinPictures& pictures = *Pictures();
    const TSkinPicture& arrows = pictures.Part(SkinPart::Scrollbar);
    const bool horizontal = bar && bar->orientation == Qt::Horizontal;
    const TSkinPicture& track = pictures.Part(horizontal ? SkinPart::HorzScroll : SkinPart::VertScroll);
    const TSkinPicture& thumb = pictures.Part(horizontal ? SkinPart::HorzScrollThumb : SkinPart::VertScrollThumb);
    if (!bar || arrows.IsNull() || track.IsNull() || thumb.IsNull() || !Skins(widget, xcScrollbar))
        return false;

    // Arrow pictures: up, down, left, right, four states each.
    const int subArrow = horizontal ? 2 : 0;
    const int addArrow = horizontal ? 3 : 1;
    track.Draw(*painter, option->rect, 0);
    const QRect sub = subControlRect(CC_ScrollBar, option, SC_ScrollBarSubLine, widget);
    const QRect add = subControlRect(CC_ScrollBar, option, SC_ScrollBarAddLine, widget);
    arrows.Draw(*painter, sub, subArrow * 4 + PartFrame(*option, SC_ScrollBarSubLine));
    arrows.Draw(*painter, add, addArrow * 4 + PartFrame(*option, SC_ScrollBarAddLine));
    if (bar->maximum > bar->minimum) {
        const QRect slider = subControlRect(CC_ScrollBar, option, SC_ScrollBarSlider, widget);
        thumb.Draw(*painter, slider, std::min(PartFrame(*option, SC_ScrollBarSlider), 2));
    }
    return true;
}

bool TSkinStyle::DrawComboBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    const TSkinPictures& pictures = *Pictures();
    const TSkinPicture& button = pictures.Part(SkinPart::ComboButton);
    const TSkinPicture& edge = pictures.Part(SkinPart::SunkEdge);
    if (!combo || button.IsNull() || edge.IsNull() || !Skins(widget, xcCombo))
        return false;
    painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
    if (combo->frame)
        edge.Draw(*painter, option->rect, (option->state & State_HasFocus) || (option->state & State_On) ? 1 : 0);
    const QRect arrow = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget)
                            .intersected(option->rect.adjusted(1, 1, -1, -1));
    int frame = PartFrame(*option, SC_ComboBoxArrow);
    if (option->state & State_On)
        frame = 2;
    else if (frame == 0 && (option->state & State_MouseOver) && (option->state & State_Enabled))
        frame = 1;
    button.Draw(*painter, arrow, frame);
    return true;
}

bool TSkinStyle::DrawSpinBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    const TSkinPictures& pictures = *Pictures();
    const TSkinPicture& buttons = pictures.Part(SkinPart::UpDownVert);
    const TSkinPicture& edge = pictures.Part(SkinPart::SunkEdge);
    if (!spin || buttons.IsNull() || edge.IsNull() || !Skins(widget, xcSpin))
        return false;
    painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
    if (spin->frame)
        edge.Draw(*painter, option->rect, (option->state & State_HasFocus) ? 1 : 0);
    const TSkinPicture& glyphs = pictures.SpinGlyphs;
    const struct {
        SubControl part;
        int glyph;
        QAbstractSpinBox::StepEnabledFlag enabled;
    } halves[] = {{SC_SpinBoxUp, 0, QAbstractSpinBox::StepUpEnabled}, {SC_SpinBoxDown, 1, QAbstractSpinBox::StepDownEnabled}};
    for (const auto& half : halves) {
        const QRect r = subControlRect(CC_SpinBox, option, half.part, widget);
        const int frame = (spin->stepEnabled & half.enabled) ? PartFrame(*option, half.part) : 3;
        buttons.Draw(*painter, r, frame);
        glyphs.DrawCentred(*painter, r, half.glyph);
    }
    return true;
}

bool TSkinStyle::DrawSlider(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const TSkinPictures& pictures = *Pictures();
    const bool horizontal = slider && slider->orientation == Qt::Horizontal;
    const TSkinPicture& groove = pictures.Part(horizontal ? SkinPart::Track : SkinPart::TrackVert);
    SkinPart thumbPart = horizontal ? SkinPart::TrackbarThumbHorz : SkinPart::TrackbarThumbVert;
    if (slider && slider->tickPosition == QSlider::TicksBelow)
        thumbPart = horizontal ? SkinPart::TrackbarThumbDown : SkinPart::TrackbarThumbRight;
    else if (slider && slider->tickPosition == QSlider::TicksAbove)
        thumbPart = horizontal ? SkinPart::TrackbarThumbUp : SkinPart::TrackbarThumbLeft;
    const TSkinPicture& thumb = pictures.Part(thumbPart);
    if (!slider || groove.IsNull() || thumb.IsNull() || !Skins(widget, xcTrackBar))
        return false;
    const QRect grooveArea = subControlRect(CC_Slider, option, SC_SliderGroove, widget);
    const QSize grooveSize = groove.FrameSize();
    const QRect track = horizontal ? QRect(grooveArea.left(), grooveArea.center().y() - grooveSize.height() / 2,
                                           grooveArea.width(), grooveSize.height())
                                   : QRect(grooveArea.center().x() - grooveSize.width() / 2, grooveArea.top(),
                                           grooveSize.width(), grooveArea.height());
    groove.Draw(*painter, track, 0);
    if (slider->tickPosition != QSlider::NoTicks) {
        QStyleOptionSlider ticks = *slider;
        ticks.subControls = SC_SliderTickmarks;
        QProxyStyle::drawComplexControl(CC_Slider, &ticks, painter, widget);
    }
    const QRect handle = subControlRect(CC_Slider, option, SC_SliderHandle, widget);
    thumb.DrawCentred(*painter, handle, std::min(PartFrame(*option, SC_SliderHandle), 2));
    return true;
}

bool TSkinStyle::DrawGroupBox(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    const TSkinPictures& pictures = *Pictures();
    const TSkinPicture& edge = pictures.Part(SkinPart::GroupBoxEdge);
    if (!group || edge.IsNull() || !Skins(widget, xcGroupBox))
        return false;
    if (group->subControls & SC_GroupBoxFrame)
        edge.Draw(*painter, subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, widget), 0);
    if ((group->subControls & SC_GroupBoxLabel) && !group->text.isEmpty()) {
        const QRect label = subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
        const TSkinPicture& back = pictures.Part(SkinPart::GroupBox);
        if (const auto& element = pictures.Skin.Element(SkinPart::GroupBox); element && !back.IsNull()) {
            const int height = std::max(label.height(), back.FrameSize().height());
            QRect plate(label.left() - element->BackgroundLeftShift, label.center().y() - height / 2 + 1,
                        label.width() + element->BackgroundLeftShift + element->BackgroundRightShift, height);
            back.Draw(*painter, plate, 0);
        }
        const QColor colour = group->textColor.isValid() ? group->textColor : option->palette.color(QPalette::WindowText);
        QPalette palette = option->palette;
        palette.setColor(QPalette::WindowText, colour);
        drawItemText(painter, label, Qt::AlignCenter | Qt::TextShowMnemonic, palette, group->state & State_Enabled,
                     group->text, QPalette::WindowText);
    }
    if (group->subControls & SC_GroupBoxCheckBox) {
        QStyleOptionButton box;
        box.QStyleOption::operator=(*group);
        box.rect = subControlRect(CC_GroupBox, option, SC_GroupBoxCheckBox, widget);
        drawPrimitive(PE_IndicatorCheckBox, &box, painter, widget);
    }
    return true;
}
