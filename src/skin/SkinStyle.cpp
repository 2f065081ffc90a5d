#include "skin/SkinStyle.h"

#include "skin/Skin3rd.h"
#include "skin/SkinComponent.h"
#include "skin/SkinPictures.h"
#include "skin/WindowClass.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// A fresh instance of the application's style, for the proxy to own.
QStyle* SystemStyle()
{
    const QString name = QApplication::style() ? QApplication::style()->name() : QString();
    QStyle* style = name.isEmpty() ? nullptr : QStyleFactory::create(name);
    return style ? style : QStyleFactory::create(QStringLiteral("Fusion"));
}

} // namespace

int StateFrame(const QStyleOption& option, bool pressed)
{
    if (!(option.state & QStyle::State_Enabled))
        return 3;
    if (pressed)
        return 2;
    if (option.state & QStyle::State_MouseOver)
        return 1;
    return 0;
}

TSkinStyle::TSkinStyle(const TSkinComponent& component) : QProxyStyle(SystemStyle()), component_(component) {}

const TSkinPictures* TSkinStyle::Pictures() const
{
    return component_.Pictures();
}

bool TSkinStyle::Skins(const QWidget* widget, TSkinControl kind) const
{
    if (!Pictures() || !component_.SkinControls.Contains(kind))
        return false;
    if (!widget)
        return true;
    if (HasTag(widget, component_.DisableTag))
        return false;
    // A control of a kind the lines do not name is drawn as what it is drawing.
    const auto own = ControlKindOf(SkinKindOf(widget, component_.Skin3rd));
    return !own || component_.SkinControls.Contains(*own);
}

int TSkinStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (const TSkinPictures* pictures = Pictures()) {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
            if (!pictures->Check.IsNull() && Skins(widget, xcCheckBox)) {
                const QSize size = pictures->Check.FrameSize();
                return metric == PM_IndicatorWidth ? size.width() : size.height();
            }
            break;
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            if (!pictures->Radio.IsNull() && Skins(widget, xcRadioButton)) {
                const QSize size = pictures->Radio.FrameSize();
                return metric == PM_ExclusiveIndicatorWidth ? size.width() : size.height();
            }
            break;
        case PM_ScrollBarExtent:
            if (!pictures->Part(SkinPart::Scrollbar).IsNull() && Skins(widget, xcScrollbar))
                return pictures->Part(SkinPart::Scrollbar).FrameSize().width();
            break;
        case PM_TabBarTabShiftVertical:
        case PM_TabBarTabShiftHorizontal:
            if (Skins(widget, xcTab))
                return 0;
            break;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int TSkinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* returnData) const
{
    if (hint == SH_ScrollBar_Transient && Skins(widget, xcScrollbar))
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void TSkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    if (!DrawSkinnedPrimitive(element, option, painter, widget))
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool TSkinStyle::DrawSkinnedPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const
{
    const TSkinPictures* pictures = Pictures();
    if (!pictures)
        return false;
    const QRect& r = option->rect;
    switch (element) {
    case PE_PanelButtonCommand:
    case PE_PanelButtonBevel: {
        if (pictures->Push.IsNull() || !Skins(widget, xcButton))
            return false;
        const bool pressed = option->state & (State_Sunken | State_On);
        int frame = StateFrame(*option, pressed);
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (frame == 0 && button && (button->features & QStyleOptionButton::DefaultButton))
            frame = 4;
        pictures->Push.Draw(*painter, r, frame);
        return true;
    }
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton: {
        const bool radio = element == PE_IndicatorRadioButton;
        const TSkinPicture& picture = radio ? pictures->Radio : pictures->Check;
        if (picture.IsNull() || !Skins(widget, radio ? xcRadioButton : xcCheckBox))
            return false;
        const bool checked = option->state & (State_On | State_NoChange);
        const int frame = StateFrame(*option, option->state & State_Sunken) + (checked ? picture.Frames() / 2 : 0);
        picture.DrawCentred(*painter, r, frame);
        return true;
    }
    case PE_FrameGroupBox: {
        const TSkinPicture& edge = pictures->Part(SkinPart::GroupBoxEdge);
        if (edge.IsNull() || !Skins(widget, xcGroupBox))
            return false;
        edge.Draw(*painter, r, 0);
        return true;
    }
    case PE_FrameTabWidget: {
        const TSkinPicture& pane = pictures->Part(SkinPart::TabPane);
        if (pane.IsNull() || !Skins(widget, xcTab))
            return false;
        pane.Draw(*painter, r, 0);
        return true;
    }
    case PE_FrameLineEdit: {
        const TSkinPicture& edge = pictures->Part(SkinPart::SunkEdge);
        if (edge.IsNull() || !Skins(widget, xcEdit))
            return false;
        edge.Draw(*painter, r, (option->state & State_HasFocus) ? 1 : 0);
        return true;
    }
    case PE_PanelLineEdit: {
        const TSkinPicture& edge = pictures->Part(SkinPart::SunkEdge);
        if (edge.IsNull() || !Skins(widget, xcEdit))
            return false;
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        painter->fillRect(r, option->palette.brush(QPalette::Base));
        if (frame && frame->lineWidth > 0)
            edge.Draw(*painter, r, (option->state & State_HasFocus) ? 1 : 0);
        return true;
    }
    case PE_PanelMenu:
    case PE_FrameMenu: {
        const TSkinPicture& background = pictures->Part(SkinPart::MenuBackground);
        if (background.IsNull())
            return false;
        background.Draw(*painter, r, 0);
        return true;
    }
    case PE_PanelStatusBar: {
        const TSkinPicture& bar = pictures->Part(SkinPart::StatusBarEdges);
        if (bar.IsNull() || !Skins(widget, xcStatusBar))
            return false;
        bar.Draw(*painter, r, 0);
        return true;
    }
    case PE_PanelToolBar: {
        const TSkinPicture& bar = pictures->Part(SkinPart::ToolBars);
        if (bar.IsNull() || !Skins(widget, xcToolbar))
            return false;
        bar.Draw(*painter, r, 0);
        return true;
    }
    case PE_IndicatorProgressChunk: {
        const TSkinPicture& chunk = pictures->Part(SkinPart::ProgressChunk);
        if (chunk.IsNull() || !Skins(widget, xcProgress))
            return false;
        chunk.Draw(*painter, r, 0);
        return true;
    }
    default:
        return false;
    }
}

void TSkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    if (!DrawSkinnedControl(element, option, painter, widget))
        QProxyStyle::drawControl(element, option, painter, widget);
}
