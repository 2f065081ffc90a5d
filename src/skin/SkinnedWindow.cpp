#include "skin/SkinnedWindow.h"

#include "skin/SkinComponent.h"
#include "skin/SkinFrame.h"
#include "skin/SkinMessages.h"
#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"
#include "skin/WindowClass.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

QSize Grown(QSize size, QMargins margins)
{
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize Shrunk(QSize size, QMargins margins)
{
    return size - QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// Grows a size limit, leaving "no limit" as it is.
int GrownLimit(int limit, int by)
{
    return limit >= QWIDGETSIZE_MAX ? limit : std::min(QWIDGETSIZE_MAX, limit + by);
}

void SetWindowFlagsInPlace(QWidget* window, Qt::WindowFlags flags)
{
    // Without recreating (and so hiding) the window: a modal box keeps running.
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle())
        handle->setFlags(flags);
}

} // namespace

TSkinnedWindow::TSkinnedWindow(QWidget* window, QWidget* form, TSkinComponent& component)
    : window_(window), form_(form), component_(component)
{
    Apply();
}

TSkinnedWindow::~TSkinnedWindow()
{
    Restore();
}

void TSkinnedWindow::Apply()
{
    const TSkinPictures* pictures = component_.Pictures();
    if (!window_ || !pictures)
        return;
    if (component_.OnBeforeSkinForm)
        component_.OnBeforeSkinForm(&component_, window_);
    ownPalette_ = window_->testAttribute(Qt::WA_SetPalette);
    palette_ = window_->palette();
    // Style first: a window may rebuild its layout for a new style (a message
    // box with an icon does), and the frame's room must go into the layout it
    // keeps.
    window_->setPalette(pictures->Palette);
    StyleControls(window_);
    framed_ = window_->isWindow() && !IsMdiChild(window_) && !pictures->FrameMargins().isNull();
    if (framed_) {
        ApplyFrame();
        FitTitle();
    }
    window_->installEventFilter(this);
    applied_ = true;
    window_->update();
    if (component_.OnAfterSkinForm)
        component_.OnAfterSkinForm(&component_, window_);
}

void TSkinnedWindow::ApplyFrame()
{
    const TSkinPictures& pictures = *component_.Pictures();
    margins_ = pictures.FrameMargins();
    flags_ = window_->windowFlags();
    geometry_ = window_->geometry();
    wasMoved_ = window_->testAttribute(Qt::WA_Moved);
    minimumSize_ = window_->minimumSize();
    maximumSize_ = window_->maximumSize();
    mask_ = window_->mask();

    const QPoint offset(margins_.left(), margins_.top());
    MakeRoomInLayout();
    const QLayout* layout = window_->layout();
    for (QObject* object : window_->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || (layout && layout->indexOf(child) >= 0))
            continue;
        movedChildren_.push_back({child, child->pos()});
        child->move(child->pos() + offset);
    }
    const QSize grow(margins_.left() + margins_.right(), margins_.top() + margins_.bottom());
    if (minimumSize_ == maximumSize_) {
        window_->setFixedSize(Grown(minimumSize_, margins_));
    } else {
        window_->setMinimumSize(Grown(minimumSize_, margins_));
        window_->setMaximumSize(GrownLimit(maximumSize_.width(), grow.width()),
                                GrownLimit(maximumSize_.height(), grow.height()));
    }
    // The client area stays where it was on the screen; the frame goes around it.
    QPoint position = geometry_.topLeft() - offset;
    if (const QScreen* screen = window_->screen()) {
        const QRect available = screen->availableGeometry();
        position.setX(std::max(position.x(), available.left()));
        position.setY(std::max(position.y(), available.top()));
    }
    SetWindowFlagsInPlace(window_, flags_ | Qt::FramelessWindowHint);
    window_->setGeometry(QRect(position, Grown(geometry_.size(), margins_)));
    // Growing is not placing: a window skinned as it is shown and never placed
    // is still placed by its own rules (a dialog centres itself) or the desktop.
    window_->setAttribute(Qt::WA_Moved, wasMoved_);
    skinnedPosition_ = window_->pos();
    frame_ = new TSkinFrame(window_, component_, EntitledCaptionActions(window_, flags_));
    positionCheck_ = std::make_unique<platform::WindowPositionCheck>(window_);
}

void TSkinnedWindow::MakeRoomInLayout()
{
    QLayout* layout = window_->layout();
    if (!layout || layout == grownLayout_)
        return;
    layoutMargins_ = layout->contentsMargins();
    layout->setContentsMargins(layoutMargins_ + margins_);
    grownLayout_ = layout;
}

void TSkinnedWindow::FitTitle()
{
    // A message box sized for its text alone widens until its title fits; it
    // measures itself again now and then, so this is repeated after a resize.
    if (!IsStandardDialog(window_) || !frame_)
        return;
    const int missing = frame_->CaptionWidthNeeded() - window_->width();
    if (missing <= 0)
        return;
    widened_ = true;
    const int width = window_->width() + missing;
    if (window_->minimumWidth() == window_->maximumWidth())
        window_->setFixedWidth(width);
    else
        window_->setMinimumWidth(std::max(window_->minimumWidth(), width));
    window_->resize(width, window_->height());
}

void TSkinnedWindow::RestoreFrame()
{
    positionCheck_.reset();
    delete frame_.data();
    if (mask_.isEmpty())
        window_->clearMask();
    else
        window_->setMask(mask_);
    const QPoint moved = window_->pos() - skinnedPosition_;
    // A widened dialog goes back to its own measure; any other window keeps the
    // size it was given while skinned.
    const QSize clientSize = std::exchange(widened_, false) ? geometry_.size() : Shrunk(window_->size(), margins_);
    SetWindowFlagsInPlace(window_, flags_);
    const QPoint offset(margins_.left(), margins_.top());
    for (const MovedChild& child : movedChildren_)
        if (child.Child && child.Child->parentWidget() == window_)
            child.Child->move(child.Child->pos() - offset);
    movedChildren_.clear();
    if (grownLayout_ && grownLayout_ == window_->layout())
        grownLayout_->setContentsMargins(layoutMargins_);
    grownLayout_ = nullptr;
    window_->setMinimumSize(minimumSize_);
    window_->setMaximumSize(maximumSize_);
    window_->setGeometry(QRect(geometry_.topLeft() + moved, clientSize));
    window_->setAttribute(Qt::WA_Moved, wasMoved_ || !moved.isNull());
    margins_ = {};
}

bool TSkinnedWindow::KeepsSystemLook(QWidget* control) const
{
    if (HasTag(control, component_.DisableTag) || RefusesSkin(control))
        return true;
    bool skin = true;
    if (component_.OnSkinControl)
        component_.OnSkinControl(&component_, control, skin);
    return !skin;
}

void TSkinnedWindow::KeepSystemLook(QWidget* control)
{
    ControlState state;
    state.Control = control;
    state.PaletteSet = true;
    state.OwnPalette = control->testAttribute(Qt::WA_SetPalette);
    state.Palette = control->palette();
    // Every role set, so that nothing is taken from the skinned window around it.
    const QPalette desktop = QApplication::palette(control);
    QPalette system;
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            system.setBrush(g, r, desktop.brush(g, r));
        }
    control->setPalette(state.OwnPalette ? state.Palette.resolve(system) : system);
    controls_.push_back(state);
}

void TSkinnedWindow::ApplySkinStyle(QWidget* control)
{
    ControlState state;
    state.Control = control;
    state.StyleSet = true;
    state.OwnStyle = control->testAttribute(Qt::WA_SetStyle);
    state.Style = state.OwnStyle ? control->style() : nullptr;
    controls_.push_back(state);
    control->setStyle(component_.Style());
}

void TSkinnedWindow::StyleControls(QWidget* root)
{
    ApplySkinStyle(root);
    for (QObject* object : root->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || (child->isWindow() && !IsControlPopup(child)) || child == frame_)
            continue;
        if (KeepsSystemLook(child))
            KeepSystemLook(child);
        else
            StyleControls(child);
    }
}

void TSkinnedWindow::AdoptControl(QWidget* control)
{
    if (!applied_ || !control || (control->isWindow() && !IsControlPopup(control)) || control == frame_ ||
        control->style() == component_.Style())
        return;
    for (QWidget* up = control; up && up != window_; up = up->parentWidget())
        if (KeepsSystemLook(up))
            return;
    ApplySkinStyle(control);
}

void TSkinnedWindow::Restore()
{
    if (!applied_)
        return;
    applied_ = false;
    closed_ = true;
    if (!window_)
        return;
    window_->removeEventFilter(this);
    if (framed_)
        RestoreFrame();
    for (auto state = controls_.rbegin(); state != controls_.rend(); ++state) {
        if (!state->Control)
            continue;
        if (state->StyleSet)
            state->Control->setStyle(state->OwnStyle ? state->Style.data() : nullptr);
        if (state->PaletteSet)
            state->Control->setPalette(state->OwnPalette ? state->Palette : QPalette());
    }
    controls_.clear();
    window_->setPalette(ownPalette_ ? palette_ : QPalette());
    window_->update();
}

void TSkinnedWindow::Reload()
{
    Restore();
    if (!window_)
        return;
    closed_ = false;
    Apply();
}

bool TSkinnedWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && frame_) {
        switch (event->type()) {
        case QEvent::ChildAdded:
        case QEvent::LayoutRequest:
            // A layout put in place of the one that made room for the frame.
            MakeRoomInLayout();
            break;
        case QEvent::Resize:
            if (!fitting_) {
                fitting_ = true;
                FitTitle();
                fitting_ = false;
            }
            frame_->FitWindow();
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::ActivationChange:
        case QEvent::WindowTitleChange:
        case QEvent::WindowStateChange: frame_->update(); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
