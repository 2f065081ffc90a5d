#include "skin/SkinFrame.h"

#include "skin/SkinComponent.h"
#include "skin/SkinPictures.h"
#include "skin/WindowClass.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace {

enum CaptionAction { Close = 0, Maximise = 1, Restore = 2, Minimise = 3, SystemMenu = 4 };

bool Contains(const std::vector<int>& actions, int action)
{
    return std::find(actions.begin(), actions.end(), action) != actions.end();
}

} // namespace

std::vector<int> EntitledCaptionActions(const QWidget* window, Qt::WindowFlags flags)
{
    if (IsStandardDialog(window))
        return {Close};
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    std::vector<int> actions;
    if (flags.testFlag(Qt::CustomizeWindowHint)) {
        if (flags.testFlag(Qt::WindowCloseButtonHint))
            actions.push_back(Close);
        if (flags.testFlag(Qt::WindowMaximizeButtonHint) && !fixedSize)
            actions.insert(actions.end(), {Maximise, Restore});
        if (flags.testFlag(Qt::WindowMinimizeButtonHint))
            actions.push_back(Minimise);
        if (flags.testFlag(Qt::WindowSystemMenuHint))
            actions.push_back(SystemMenu);
        return actions;
    }
    if ((flags & Qt::WindowType_Mask) == Qt::Dialog)
        return {Close};
    actions = {Close, Minimise, SystemMenu};
    if (!fixedSize)
        actions.insert(actions.end(), {Maximise, Restore});
    return actions;
}

TSkinFrame::TSkinFrame(QWidget* window, const TSkinComponent& component, std::vector<int> entitledActions)
    : QWidget(window), window_(window), component_(component), entitled_(std::move(entitledActions))
{
    setObjectName(QStringLiteral("SkinFrame"));
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    FitWindow();
    lower();
    show();
}

const TSkinPictures* TSkinFrame::Pictures() const
{
    return component_.Pictures();
}

QRect TSkinFrame::CaptionRect() const
{
    const TSkinPictures* pictures = Pictures();
    return pictures ? QRect(0, 0, width(), pictures->FrameMargins().top()) : QRect();
}

void TSkinFrame::FitWindow()
{
    setGeometry(window_->rect());
    if (const TSkinPictures* pictures = Pictures()) {
        setMask(QRegion(rect()) - QRegion(rect().marginsRemoved(pictures->FrameMargins())));
        window_->setMask(WindowShape(*pictures));
    }
    lower();
    update();
}

QRegion TSkinFrame::WindowShape(const TSkinPictures& pictures) const
{
    // The window's outline follows the frame: where the caption's or the
    // bottom border's picture is transparent (rounded corners) the desktop shows.
    QRegion shape(rect());
    const QMargins m = pictures.FrameMargins();
    const auto cut = [&shape](const TSkinPicture& picture, const QRect& where) {
        if (picture.IsNull() || where.isEmpty())
            return;
        const QBitmap opaque = picture.Composed(0, where.size()).mask();
        if (opaque.isNull())
            return;
        shape -= QRegion(where) - QRegion(opaque).translated(where.topLeft());
    };
    cut(pictures.Borders[2], QRect(0, 0, width(), m.top()));
    cut(pictures.Borders[3], QRect(0, height() - m.bottom(), width(), m.bottom()));
    return shape;
}

std::vector<TSkinFrame::Button> TSkinFrame::VisibleButtons() const
{
    std::vector<Button> buttons;
    const TSkinPictures* pictures = Pictures();
    if (!pictures)
        return buttons;
    const auto& skinButtons = pictures->Skin.CaptionButtons;
    const bool maximised = window_->isMaximized();
    for (std::size_t i = 0; i < skinButtons.size() && i < pictures->CaptionButtons.size(); ++i) {
        const SkinCaptionButton& b = skinButtons[i];
        if (b.Section.empty() || !Contains(entitled_, b.Action))
            continue;
        if ((b.Action == Maximise && maximised) || (b.Action == Restore && !maximised))
            continue;
        const QSize size = pictures->CaptionButtons[i].FrameSize();
        const int x = b.Align == 0 ? width() - b.Xcoord : b.Xcoord;
        buttons.push_back({static_cast<int>(i), b.Action, QRect(QPoint(x, b.Ycoord), size)});
    }
    return buttons;
}

int TSkinFrame::ButtonAt(QPoint position) const
{
    for (const Button& button : VisibleButtons())
        if (button.Place.contains(position))
            return button.Index;
    return -1;
}

void TSkinFrame::paintEvent(QPaintEvent* /*event*/)
{
    const TSkinPictures* pictures = Pictures();
    if (!pictures)
        return;
    QPainter painter(this);
    const bool active = window_->isActiveWindow();
    const int frame = active ? 0 : 1;
    const QMargins m = pictures->FrameMargins();
    const int w = width(), h = height();
    pictures->Borders[2].Draw(painter, QRect(0, 0, w, m.top()), frame);
    pictures->Borders[3].Draw(painter, QRect(0, h - m.bottom(), w, m.bottom()), frame);
    pictures->Borders[0].Draw(painter, QRect(0, m.top(), m.left(), h - m.top() - m.bottom()), frame);
    pictures->Borders[1].Draw(painter, QRect(w - m.right(), m.top(), m.right(), h - m.top() - m.bottom()), frame);

    bool systemMenuShown = false;
    for (const Button& button : VisibleButtons()) {
        systemMenuShown = systemMenuShown || button.Action == SystemMenu;
        const TSkinPicture& picture = pictures->CaptionButtons[static_cast<std::size_t>(button.Index)];
        const int state = button.Index == pressed_ && button.Index == hover_ ? 2 : button.Index == hover_ ? 1 : 0;
        picture.DrawCentred(painter, button.Place, state);
    }
    if (const QPixmap icon = component_.SmallIcon(devicePixelRatio()); !systemMenuShown && !icon.isNull()) {
        const int height = qRound(icon.deviceIndependentSize().height());
        painter.drawPixmap(QPoint(m.left() + 6, (m.top() - height) / 2), icon);
    }
    PaintCaptionText(painter, *pictures, active);
}

void TSkinFrame::PaintCaptionText(QPainter& painter, const TSkinPictures& pictures, bool active)
{
    const SkinCaptionText& caption = pictures.Skin.CaptionText;
    const SkinColours& colours = pictures.Skin.Colours;
    QColor colour = active ? caption.ActiveText.value_or(colours.TitleTextActive)
                           : caption.InActiveText.value_or(colours.TitleTextNoActive);
    if (!colour.isValid())
        colour = palette().color(QPalette::WindowText);
    const QFont font = CaptionFont(pictures);
    const int top = pictures.FrameMargins().top();
    QRect text(caption.TextShift, caption.TextShiftVert, TextRoom(pictures), top);
    if (!caption.TextBack.isNull()) {
        const QRect back(text.left() - caption.TXTBackleft, 0,
                         text.width() + caption.TXTBackleft + caption.TXTBackRight, caption.TextBack.height());
        painter.drawImage(back, caption.TextBack);
    }
    const Qt::Alignment align = caption.TextAlignment == 1   ? Qt::AlignHCenter
                                : caption.TextAlignment == 2 ? Qt::AlignRight
                                                             : Qt::AlignLeft;
    painter.setFont(font);
    painter.setPen(colour);
    const QString title = QFontMetrics(font).elidedText(window_->windowTitle(), Qt::ElideRight, text.width());
    painter.drawText(text, align | Qt::AlignVCenter | Qt::TextSingleLine, title);
}

QFont TSkinFrame::CaptionFont(const TSkinPictures& pictures) const
{
    QFont font = window_->font();
    font.setPixelSize(std::max(8, pictures.Skin.CaptionText.FontHeight - 1));
    font.setBold(true);
    return font;
}

int TSkinFrame::TextRoom(const TSkinPictures& pictures) const
{
    // The skin's TextRightClip keeps room for a full row of caption buttons; a
    // window with fewer may write up to its leftmost button.
    const SkinCaptionText& caption = pictures.Skin.CaptionText;
    int right = width() - pictures.FrameMargins().right() - 6;
    for (const Button& button : VisibleButtons())
        if (pictures.Skin.CaptionButtons[static_cast<std::size_t>(button.Index)].Align == 0)
            right = std::min(right, button.Place.left() - 4);
    return std::max(0, right - caption.TextShift);
}

int TSkinFrame::CaptionWidthNeeded() const
{
    const TSkinPictures* pictures = Pictures();
    if (!pictures)
        return 0;
    const int title = QFontMetrics(CaptionFont(*pictures)).horizontalAdvance(window_->windowTitle());
    return width() - TextRoom(*pictures) + title + 2;
}

void TSkinFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = ButtonAt(event->position().toPoint());
    if (pressed_ >= 0) {
        update();
        return;
    }
    if (!CaptionRect().contains(event->position().toPoint()))
        return;
    QWindow* handle = window_->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - window_->pos();
}

void TSkinFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) {
        window_->move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    const int over = ButtonAt(event->position().toPoint());
    if (over != hover_) {
        hover_ = over;
        update();
    }
}

void TSkinFrame::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    const int released = ButtonAt(event->position().toPoint());
    const int pressed = std::exchange(pressed_, -1);
    update();
    if (pressed < 0 || released != pressed)
        return;
    const TSkinPictures* pictures = Pictures();
    if (pictures)
        Perform(pictures->Skin.CaptionButtons[static_cast<std::size_t>(pressed)].Action);
}

void TSkinFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!CaptionRect().contains(event->position().toPoint()) || ButtonAt(event->position().toPoint()) >= 0)
        return;
    if (Contains(entitled_, Maximise))
        Perform(window_->isMaximized() ? Restore : Maximise);
}

void TSkinFrame::leaveEvent(QEvent* /*event*/)
{
    hover_ = -1;
    update();
}

void TSkinFrame::Perform(int action)
{
    switch (action) {
    case Close: window_->close(); break;
    case Maximise: window_->showMaximized(); break;
    case Restore: window_->showNormal(); break;
    case Minimise: window_->showMinimized(); break;
    default: break;
    }
}
