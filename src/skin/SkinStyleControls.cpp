// The skin's pictures for the controls' simple parts: buttons' faces and
// texts, tabs, header sections, progress bars, menu items, the menu bar and
// the frames of panels and text areas.
#include "skin/SkinStyle.h"

#include "skin/Skin3rd.h"
#include "skin/SkinComponent.h"
#include "skin/SkinPictures.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

// A copy of the option whose text roles carry the colour.
template <class Option>
Option Recoloured(const Option& option, const QColor& colour)
{
    Option copy = option;
    if (colour.isValid())
        for (auto role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text, QPalette::HighlightedText})
            copy.palette.setColor(role, colour);
    return copy;
}

QColor PickColour(const std::optional<SkinElement>& element, int frame, const QColor& fallback)
{
    if (!element || frame == 3)
        return fallback;
    const QColor& chosen = frame == 2 ? element->PressedColour2 : frame == 1 ? element->MouseOverColour2
                                                                            : element->NormalColour2;
    return chosen.isValid() ? chosen : (element->NormalColour2.isValid() ? element->NormalColour2 : fallback);
}

bool InStatusBar(const QWidget* widget, const TSkinComponent& component)
{
    const QWidget* parent = widget ? widget->parentWidget() : nullptr;
    return parent && SkinKindOf(parent, component.Skin3rd) == QLatin1String("statusbar");
}

} // namespace

bool TSkinStyle::DrawSkinnedControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    const TSkinPictures* pictures = Pictures();
    if (!pictures)
        return false;
    const SkinData& skin = pictures->Skin;
    switch (element) {
    case CE_PushButtonBevel: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (!button || pictures->Push.IsNull() || !Skins(widget, xcButton) ||
            (button->features & QStyleOptionButton::Flat))
            return false;
        drawPrimitive(PE_PanelButtonCommand, option, painter, widget);
        if (button->features & QStyleOptionButton::HasMenu) {
            const int indicator = pixelMetric(PM_MenuButtonIndicator, option, widget);
            QStyleOption arrow = *option;
            arrow.rect = QRect(option->rect.right() - indicator - 4, option->rect.top(), indicator, option->rect.height());
            drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
        }
        return true;
    }
    case CE_PushButtonLabel: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (!button || pictures->Push.IsNull() || !Skins(widget, xcButton))
            return false;
        const int frame = StateFrame(*option, option->state & (State_Sunken | State_On));
        const SkinButtons& b = skin.Buttons;
        const QColor& chosen = frame == 2 ? b.PressedColour2 : frame == 1 ? b.MouseOverColour2 : b.NormalColour2;
        const QColor colour = frame == 3 ? QColor() : (chosen.isValid() ? chosen : b.NormalColour2);
        const QStyleOptionButton recoloured = Recoloured(*button, colour);
        QProxyStyle::drawControl(element, &recoloured, painter, widget);
        return true;
    }
    case CE_TabBarTabShape: {
        const TSkinPicture& tabs = pictures->Part(SkinPart::Tabs);
        if (tabs.IsNull() || !Skins(widget, xcTab))
            return false;
        const bool selected = option->state & State_Selected;
        tabs.Draw(*painter, option->rect, selected && (option->state & State_Enabled) ? 2 : StateFrame(*option, false));
        return true;
    }
    case CE_TabBarTabLabel: {
        const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
        if (!tab || pictures->Part(SkinPart::Tabs).IsNull() || !Skins(widget, xcTab))
            return false;
        const int frame = (option->state & State_Selected) && (option->state & State_Enabled) ? 2
                                                                                           : StateFrame(*option, false);
        const QStyleOptionTab recoloured =
            Recoloured(*tab, PickColour(skin.Element(SkinPart::Tabs), frame, QColor()));
        QProxyStyle::drawControl(element, &recoloured, painter, widget);
        return true;
    }
    case CE_HeaderSection: {
        const TSkinPicture& header = pictures->Part(SkinPart::Headerbar);
        if (header.IsNull() || !Skins(widget, xcEdit))
            return false;
        header.Draw(*painter, option->rect, std::min(StateFrame(*option, option->state & State_Sunken), 2));
        return true;
    }
    case CE_ProgressBarGroove: {
        const TSkinPicture& groove = pictures->Part(SkinPart::Progress);
        if (groove.IsNull() || !Skins(widget, xcProgress))
            return false;
        groove.Draw(*painter, option->rect, 0);
        return true;
    }
    case CE_ProgressBarContents: {
        const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
        const TSkinPicture& groove = pictures->Part(SkinPart::Progress);
        if (!bar || groove.IsNull() || pictures->Part(SkinPart::ProgressChunk).IsNull() || !Skins(widget, xcProgress))
            return false;
        const QRect inner = option->rect.marginsRemoved(groove.Edges());
        const qint64 range = qint64(bar->maximum) - bar->minimum;
        if (range <= 0 || inner.isEmpty())
            return true;
        const double share = std::clamp(double(qint64(bar->progress) - bar->minimum) / double(range), 0.0, 1.0);
        const bool vertical = !(bar->state & State_Horizontal);
        QRect filled = inner;
        if (vertical) {
            const int height = int(inner.height() * share);
            filled = bar->invertedAppearance ? QRect(inner.left(), inner.top(), inner.width(), height)
                                             : QRect(inner.left(), inner.bottom() - height + 1, inner.width(), height);
        } else {
            const int width = int(inner.width() * share);
            filled = bar->invertedAppearance ? QRect(inner.right() - width + 1, inner.top(), width, inner.height())
                                             : QRect(inner.left(), inner.top(), width, inner.height());
        }
        QStyleOption chunk = *option;
        chunk.rect = filled;
        drawPrimitive(PE_IndicatorProgressChunk, &chunk, painter, widget);
        return true;
    }
    case CE_MenuItem: {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        const TSkinPicture& highlight = pictures->Part(SkinPart::MenuItem);
        if (!item || highlight.IsNull())
            return false;
        const auto& look = skin.Element(SkinPart::MenuItem);
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            const int y = item->rect.center().y();
            const int left = item->rect.left() + pictures->Part(SkinPart::MenuBackground).Edges().left() + 4;
            painter->fillRect(QRect(left, y, item->rect.right() - left - 3, 1), option->palette.color(QPalette::Mid));
            return true;
        }
        const bool selected = (item->state & State_Selected) && (item->state & State_Enabled);
        if (selected)
            highlight.Draw(*painter, item->rect, 1);
        QStyleOptionMenuItem plain =
            Recoloured(*item, item->state & State_Enabled ? PickColour(look, selected ? 1 : 0, skin.Colours.MenuText)
                                                          : QColor());
        plain.state &= ~State_Selected;
        QProxyStyle::drawControl(CE_MenuItem, &plain, painter, widget);
        return true;
    }
    case CE_MenuBarEmptyArea:
    case CE_MenuBarItem: {
        if (pictures->MenuBar.IsNull() || !Skins(widget, xcMainMenu))
            return false;
        const QRect area = widget && element == CE_MenuBarItem ? widget->rect() : option->rect;
        painter->save();
        painter->setClipRect(option->rect);
        pictures->MenuBar.Draw(*painter, area, 0);
        painter->restore();
        if (element == CE_MenuBarItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            if (!item)
                return true;
            const bool selected = (option->state & State_Selected) && (option->state & State_Enabled);
            if (selected && !pictures->Part(SkinPart::MenuItem).IsNull())
                pictures->Part(SkinPart::MenuItem).Draw(*painter, option->rect, 1);
            QStyleOptionMenuItem plain = Recoloured(*item, skin.Colours.MenuBarText);
            plain.state &= ~(State_Selected | State_Sunken);
            drawItemText(painter, plain.rect, Qt::AlignCenter | Qt::TextShowMnemonic, plain.palette,
                         plain.state & State_Enabled, plain.text, QPalette::ButtonText);
        }
        return true;
    }
    case CE_ShapedFrame: {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (!frame || frame->frameShape == QFrame::NoFrame || frame->frameShape == QFrame::HLine ||
            frame->frameShape == QFrame::VLine)
            return false;
        if (InStatusBar(widget, component_) && Skins(widget->parentWidget(), xcStatusBar)) {
            const TSkinPicture& panel = pictures->Part(SkinPart::StatusBarEdges);
            if (panel.IsNull())
                return false;
            panel.Draw(*painter, option->rect, 0);
            return true;
        }
        const TSkinPicture& edge = pictures->Part(SkinPart::SunkEdge);
        if (edge.IsNull() || !(frame->state & State_Sunken) || !Skins(widget, xcEdit))
            return false;
        edge.Draw(*painter, option->rect, (option->state & State_HasFocus) ? 1 : 0);
        return true;
    }
    default:
        return false;
    }
}
