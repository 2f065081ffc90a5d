#include "desktop/TrayIcon.h"

#include "desktop/TrayIconHandler.h"
#include "platform/DesktopService.h"
#include "platform/system/CodePage.h"
#include "runtime/Application.h"
#include "runtime/RunEvent.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cstring>
#include <string>

const unsigned TaskbarCreatedMessage = platform::RegisterWindowMessage(platform::TaskbarCreatedName);

namespace {

constexpr std::uint32_t IconRecordFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
constexpr std::uint32_t CycleTimerInterval = 1000;
constexpr std::uint32_t ClickTimerInterval = 1000;
constexpr std::uint32_t ExitPollInterval = 20;

// Length of the code-page character that starts at bytes[at]: one byte below
// 0x80, four when the second byte is a digit, two otherwise.
std::size_t AnsiCharLength(const std::string& bytes, std::size_t at)
{
    if (static_cast<unsigned char>(bytes[at]) < 0x80)
        return 1;
    const bool fourBytes = at + 1 < bytes.size() && bytes[at + 1] >= '0' && bytes[at + 1] <= '9';
    return std::min<std::size_t>(fourBytes ? 4 : 2, bytes.size() - at);
}

// The longest run of whole characters of text's code-page form that fits in
// limit bytes: a cut through a character would leave a broken byte at the end
// of the tooltip.
std::string LeadingAnsiBytes(const QString& text, std::size_t limit)
{
    const std::string bytes = platform::ToAnsi(text);
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t next = end + AnsiCharLength(bytes, end);
        if (next > limit)
            break;
        end = next;
    }
    return bytes.substr(0, end);
}

QPoint CursorPosOrOrigin()
{
    QPoint position;
    if (!platform::desktop().cursorPos(position))
        return QPoint();
    return position;
}

TShiftState KeysDown()
{
    const unsigned keys = platform::desktop().keysDown();
    TShiftState shift = 0;
    if (keys & unsigned(platform::ShiftKey::Shift))
        shift |= ssShift;
    if (keys & unsigned(platform::ShiftKey::Alt))
        shift |= ssAlt;
    if (keys & unsigned(platform::ShiftKey::Ctrl))
        shift |= ssCtrl;
    return shift;
}

TShiftState ButtonFlag(TMouseButton button)
{
    switch (button) {
    case TMouseButton::mbLeft: return ssLeft;
    case TMouseButton::mbRight: return ssRight;
    case TMouseButton::mbMiddle: return ssMiddle;
    }
    return 0;
}

platform::WindowHandle HandlerWindow()
{
    const TTrayIconHandler* handler = SharedTrayHandler();
    return handler ? handler->Handle() : platform::WindowHandle::None;
}

} // namespace

TTrayIcon::TTrayIcon(QObject* AOwner)
    : QObject(AOwner), FIconId(reinterpret_cast<std::uintptr_t>(this)), FOwnerWindow(qobject_cast<QWidget*>(AOwner))
{
    AcquireTrayHandler(FIconId, [this](unsigned Code) { HandleNotification(Code); });

    FIconData.window = HandlerWindow();
    FIconData.id = FIconId;
    FIconData.flags = IconRecordFlags;
    FIconData.callbackMessage = TrayCallbackMessage;

    FCycleTimer = std::make_unique<TLightTimer>(CycleTimerInterval, [this](TLightTimer*) { CycleTimerTick(); });
    FClickTimer = std::make_unique<TLightTimer>(ClickTimerInterval, [this](TLightTimer*) { ClickTimerTick(); });
    FExitTimer = std::make_unique<TLightTimer>(ExitPollInterval, [this](TLightTimer*) { ExitTimerTick(); });

    SetDesignPreview(FDesignPreview);

    FHookId = platform::ApplicationWindow::instance().HookMainWindow(
        [this](platform::Message& Message) { return AppWindowHook(Message); });
    if (FOwnerWindow)
        FOwnerWindow->installEventFilter(this);
}

TTrayIcon::~TTrayIcon()
{
    SetIconVisible(false);
    FDesignPreview = false;
    FCycleTimer.reset();
    FClickTimer.reset();
    FExitTimer.reset();
    FIcon = QIcon();
    platform::ApplicationWindow::instance().UnhookMainWindow(FHookId);
    if (FOwnerWindow)
        FOwnerWindow->removeEventFilter(this);
    ReleaseTrayHandler(FIconId);
}

void TTrayIcon::Loaded()
{
    if (OwnerWindow()) {
        bool ShowMainForm = true;
        if (OnStartup)
            OnStartup(this, ShowMainForm);
        if (!ShowMainForm) {
            if (Application)
                Application->ShowMainForm = false;
            HideOwnerForm();
        }
    }
    UpdateTrayIcon();
    SetIconVisible(FIconVisible);
    SetCycleIcons(FCycleIcons);
    SetWantEnterExitEvents(FWantEnterExitEvents);
    FIconData.version = FNotifyMode == 0 ? 0 : platform::NOTIFYICON_VERSION;
    platform::Shell_NotifyIcon(platform::NIM_SETVERSION, FIconData);
}

// The preview shows the icon while a window is being designed; a running
// program only keeps the setting.
void TTrayIcon::SetDesignPreview(bool Value)
{
    FDesignPreview = Value;
}

void TTrayIcon::SetIconList(TImageList* Value)
{
    if (FIconList)
        disconnect(FIconList, &QObject::destroyed, this, nullptr);
    FIconList = Value;
    if (Value) {
        connect(Value, &QObject::destroyed, this, [this] {
            FIconList = nullptr;
            SetIconIndex(FIconIndex);
        });
    }
    SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool Value)
{
    FCycleIcons = Value;
    if (Value) {
        SetIconIndex(0);
        FCycleTimer->SetInterval(FCycleInterval);
        FCycleTimer->Start();
    } else {
        FCycleTimer->SetEnabled(false);
    }
}

void TTrayIcon::SetCycleInterval(unsigned Value)
{
    if (Value == FCycleInterval)
        return;
    FCycleInterval = Value;
    SetCycleIcons(FCycleIcons);
}

void TTrayIcon::SetHint(const QString& Value)
{
    FHint = Value;
    UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool Value)
{
    FShowHint = Value;
    UpdateTrayIcon();
}

void TTrayIcon::SetIcon(const QIcon& Value)
{
    AssignIcon(Value);
}

// Every change of the component's own icon is shown at once.
void TTrayIcon::AssignIcon(const QIcon& Value)
{
    FIcon = Value;
    UpdateTrayIcon();
}

void TTrayIcon::SetIconVisible(bool Value)
{
    if (Value)
        AddTrayIcon();
    else
        RemoveTrayIcon();
}

void TTrayIcon::SetIconIndex(int Value)
{
    if (FIconList) {
        // Beyond the list means its last image; before it, its first. An empty
        // list has no image to show and leaves the icon as it is.
        FIconIndex = std::max(0, std::min(Value, FIconList->Count() - 1));
        if (FIconIndex < FIconList->Count())
            AssignIcon(FIconList->GetIcon(FIconIndex));
    } else {
        FIconIndex = 0;
    }
    UpdateTrayIcon();
}

void TTrayIcon::SetWantEnterExitEvents(bool Value)
{
    FWantEnterExitEvents = Value;
    FExitTimer->SetEnabled(Value);
}

bool TTrayIcon::CanUseDefaultIcon()
{
    return true;
}

bool TTrayIcon::AddTrayIcon()
{
    if (!FSettingPreview)
        FIconVisible = true;
    return FillIconData() && platform::Shell_NotifyIcon(platform::NIM_ADD, FIconData);
}

bool TTrayIcon::RemoveTrayIcon()
{
    if (!FSettingPreview)
        FIconVisible = false;
    return FillIconData() && platform::Shell_NotifyIcon(platform::NIM_DELETE, FIconData);
}

bool TTrayIcon::UpdateTrayIcon()
{
    return FillIconData() && platform::Shell_NotifyIcon(platform::NIM_MODIFY, FIconData);
}

bool TTrayIcon::FillIconData()
{
    FIconData.icon = FIcon;
    // A host that draws menus itself shows the menu the right button pops up.
    FIconData.menu = PopupMenu && PopupMenu->AutoPopup ? PopupMenu.data() : nullptr;
    FIconData.tip.fill(0);
    if (!FHint.isEmpty() && FShowHint) {
        const std::string tip = LeadingAnsiBytes(FHint, FIconData.tip.size() - 1);
        std::memcpy(FIconData.tip.data(), tip.data(), tip.size());
    }
    return true;
}

void TTrayIcon::HandleNotification(unsigned Code)
{
    using namespace platform;
    switch (Code) {
    case NIN_BALLOONSHOW:
        if (OnBalloonHintShow)
            OnBalloonHintShow(this);
        return;
    case NIN_BALLOONHIDE:
        if (OnBalloonHintHide)
            OnBalloonHintHide(this);
        return;
    case NIN_BALLOONTIMEOUT:
        if (OnBalloonHintTimeout)
            OnBalloonHintTimeout(this);
        return;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonHintClick)
            OnBalloonHintClick(this);
        return;
    default:
        if (Enabled)
            HandleMouseNotification(Code);
    }
}

// An event handler may destroy the component; nothing more of the
// notification runs then.
void TTrayIcon::HandleMouseNotification(unsigned Code)
{
    using namespace platform;
    const QPointer<TTrayIcon> Self(this);
    switch (Code) {
    case WM_MOUSEMOVE: {
        if (FWantEnterExitEvents && FPointerOutside) {
            FireMouseEnter();
            if (!Self)
                return;
            FPointerOutside = false;
        }
        const QPoint Position = CursorPosOrOrigin();
        FireMouseMove(KeysDown(), Position.x(), Position.y());
        if (!Self)
            return;
        FLastPosition = Position;
        break;
    }
    case WM_LBUTTONDOWN:
        if (OnDblClick) {
            FClickTimer->SetInterval(desktop().doubleClickTime());
            FClickTimer->Start();
        }
        MouseDown(TMouseButton::mbLeft);
        if (!Self)
            return;
        FClickStarted = true;
        if (LeftPopup && PopupMenu && PopupMenu->AutoPopup) {
            desktop().setForegroundWindow(HandlerWindow());
            PopupMenuAtCursor();
        }
        break;
    case WM_LBUTTONUP:
        if (FClickStarted)
            FClickReady = true;
        if (FClickStarted && !FClickTimer->Enabled()) {
            FClickStarted = false;
            FClickReady = false;
            FireClick();
            if (!Self)
                return;
        }
        FClickStarted = false;
        MouseUp(TMouseButton::mbLeft);
        break;
    case WM_LBUTTONDBLCLK:
        FClickReady = false;
        FDoubleClicked = true;
        FireDblClick();
        if (!Self)
            return;
        if (PopupMenu && PopupMenu->AutoPopup && !LeftPopup) {
            if (QAction* Item = PopupMenu->DefaultItem())
                Item->trigger();
        }
        break;
    case WM_RBUTTONDOWN:
        MouseDown(TMouseButton::mbRight);
        if (!Self)
            return;
        if (PopupMenu && PopupMenu->AutoPopup) {
            desktop().setForegroundWindow(HandlerWindow());
            PopupMenuAtCursor();
        }
        break;
    case WM_RBUTTONUP:
        if (FNotifyMode == 0)
            MouseUp(TMouseButton::mbRight);
        break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (FNotifyMode == 1)
            MouseUp(TMouseButton::mbRight);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(TMouseButton::mbMiddle);
        break;
    case WM_MBUTTONUP:
        MouseUp(TMouseButton::mbMiddle);
        break;
    default:
        break;
    }
}

// Button events report the keys held and the button concerned, and the
// cursor where it is now.
void TTrayIcon::MouseDown(TMouseButton Button)
{
    const QPoint Position = CursorPosOrOrigin();
    FireMouseDown(Button, KeysDown() | ButtonFlag(Button), Position.x(), Position.y());
}

void TTrayIcon::MouseUp(TMouseButton Button)
{
    const QPoint Position = CursorPosOrOrigin();
    FireMouseUp(Button, KeysDown() | ButtonFlag(Button), Position.x(), Position.y());
}

void TTrayIcon::ClickTimerTick()
{
    FClickTimer->SetEnabled(false);
    if (!FDoubleClicked && FClickReady) {
        FClickReady = false;
        const QPointer<TTrayIcon> Self(this);
        FireClick();
        if (!Self)
            return;
    }
    FDoubleClicked = false;
}

void TTrayIcon::CycleTimerTick()
{
    if (!FIconList)
        return;
    AssignIcon(FIconList->GetIcon(FIconIndex));
    const int Last = FIconList->Count() - 1;
    const QPointer<TTrayIcon> Self(this);
    FireCycle(FIconIndex < Last ? FIconIndex + 1 : 0);
    if (!Self || !FIconList)
        return;
    SetIconIndex(FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0);
}

void TTrayIcon::ExitTimerTick()
{
    if (FPointerOutside)
        return;
    QPoint Position;
    if (!platform::desktop().cursorPos(Position) || Position == FLastPosition)
        return;
    FPointerOutside = true;
    FireMouseExit();
}

bool TTrayIcon::AppWindowHook(platform::Message& Message)
{
    using namespace platform;
    QWidget* MainForm = Application ? Application->MainForm() : nullptr;
    switch (Message.msg) {
    case WM_SIZE:
        if (Message.wParam == SIZE_MINIMIZED && MinimizeToTray)
            MinimizeIntoTray();
        break;
    case WM_WINDOWPOSCHANGED:
        // Forms here are never multiple-document frames, whose start-up would
        // be asked here; OnStartup is asked in Loaded.
        if (FStartupPending && MainForm)
            FStartupPending = false;
        break;
    case WM_SYSCOMMAND:
        if ((Message.wParam & 0xFFF0) == SC_RESTORE && MainForm) {
            if (MainForm->isMinimized())
                MainForm->setWindowState(MainForm->windowState() & ~Qt::WindowMinimized);
            MainForm->setVisible(true);
        }
        break;
    default:
        break;
    }
    if (TaskbarCreatedMessage != 0 && Message.msg == TaskbarCreatedMessage && FIconVisible)
        AddTrayIcon();
    return false;
}

bool TTrayIcon::eventFilter(QObject* Watched, QEvent* Event)
{
    QWidget* Owner = OwnerWindow();
    if (!Owner || Watched != Owner)
        return false;
    if (Event->type() == QEvent::Show && !Event->spontaneous()) {
        // Shown by the program itself: bring the application, then the owner, to the front.
        platform::desktop().setForegroundWindow(platform::ApplicationWindow::instance().handle());
        platform::desktop().bringToFront(Owner);
        return false;
    }
    if (Event->type() == QEvent::WindowStateChange) {
        const auto* Change = static_cast<QWindowStateChangeEvent*>(Event);
        const bool Minimised = Owner->isMinimized() && !(Change->oldState() & Qt::WindowMinimized);
        if (Minimised && MinimizeToTray && OnMinimizeToTray) {
            // The window has already been minimised (and a show call may still
            // follow): go into the tray once the minimise is complete.
            QMetaObject::invokeMethod(this, [this] { MinimizeOwnerIntoTray(); }, Qt::QueuedConnection);
        }
    }
    return false;
}

void TTrayIcon::MinimizeOwnerIntoTray()
{
    QWidget* Owner = OwnerWindow();
    if (!Owner || !Owner->isMinimized() || !MinimizeToTray || !OnMinimizeToTray)
        return;
    const QPointer<QWidget> Guard(Owner);
    RunEvent([&] {
        OnMinimizeToTray(this);
        MinimizeIntoTray();
    });
    // Hidden in the tray rather than minimised: it comes back as it was.
    if (Guard)
        Guard->setWindowState(Guard->windowState() & ~Qt::WindowMinimized);
}

void TTrayIcon::PopupMenuAt(int X, int Y)
{
    if (!PopupMenu)
        return;
    platform::desktop().setForegroundWindow(HandlerWindow());
    if (Application)
        Application->ProcessMessages();
    const QPointer<TPopupMenu> Menu = PopupMenu;
    if (!Menu)
        return;
    const QPointer<TTrayIcon> Self(this);
    Menu->PopupComponent = this;
    Menu->Popup(X, Y);
    if (!Self)
        return;
    // Wake the owner's queue once the menu has closed, so the menu's last
    // input is settled before the owner handles anything else.
    if (QWidget* Owner = OwnerWindow())
        QCoreApplication::postEvent(Owner, new QEvent(QEvent::None));
}

void TTrayIcon::PopupMenuAtCursor()
{
    QPoint Position;
    if (platform::desktop().cursorPos(Position))
        PopupMenuAt(Position.x(), Position.y());
}

void TTrayIcon::MinimizeIntoTray()
{
    HideOwnerForm();
    SetIconVisible(true);
}

void TTrayIcon::HideOwnerForm()
{
    QWidget* MainForm = Application ? Application->MainForm() : nullptr;
    if (OwnerWindow() && MainForm) {
        MainForm->setVisible(false);
        HideAppWindow();
    }
}

void TTrayIcon::HideAppWindow()
{
    auto& AppWindow = platform::ApplicationWindow::instance();
    if (AppWindow.IsVisible())
        AppWindow.SetVisible(false);
}

void TTrayIcon::FireClick()
{
    if (OnClick)
        OnClick(this);
}

void TTrayIcon::FireDblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TTrayIcon::FireCycle(int NextIndex)
{
    if (OnCycle)
        OnCycle(this, NextIndex);
}

void TTrayIcon::FireMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TTrayIcon::FireMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TTrayIcon::FireMouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TTrayIcon::FireMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TTrayIcon::FireMouseExit()
{
    if (OnMouseExit)
        OnMouseExit(this);
}
