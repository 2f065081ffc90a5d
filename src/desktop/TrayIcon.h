#pragma once

#include "desktop/ImageList.h"
#include "desktop/LightTimer.h"
#include "desktop/PopupMenu.h"
#include "platform/ApplicationWindow.h"
#include "platform/NotificationArea.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys held down and the button concerned, as the mouse events report them.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;

// The number of the message sent to every window when the notification area
// has been (re)created, or 0.
extern const unsigned TaskbarCreatedMessage;

// Puts one icon into the desktop's notification area and keeps it there while
// IconVisible is true, also after the area has been re-created. Turns the
// area's mouse notifications for the icon into events, pops PopupMenu up at
// the cursor (right button, or left with LeftPopup) and can hide the owner
// form together with the application's taskbar button.
//
// Typical use by a form (the form owns the component):
//   TrayIcon1 = new TTrayIcon(this);
//   TrayIcon1->SetHint("…"); TrayIcon1->SetIcon(icon); TrayIcon1->PopupMenu = PopupMenu1;
//   TrayIcon1->SetIconVisible(true); TrayIcon1->OnClick = …;
//   TrayIcon1->Loaded();   // once the form and its controls are constructed
class TTrayIcon : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
    using TCycleEvent = std::function<void(QObject* Sender, int NextIndex)>;
    using TStartupEvent = std::function<void(QObject* Sender, bool& ShowMainForm)>;

    // A widget owner is the window whose show and minimise the component watches.
    explicit TTrayIcon(QObject* AOwner);
    ~TTrayIcon() override;
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // The owner and its children have been constructed: asks OnStartup, and
    // applies IconVisible, CycleIcons, WantEnterExitEvents and the notify mode.
    virtual void Loaded();

    // Properties whose setting has an effect.
    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool Value);
    TImageList* IconList() const { return FIconList; }
    void SetIconList(TImageList* Value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    unsigned CycleInterval() const { return FCycleInterval; }
    void SetCycleInterval(unsigned Value);
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    const QIcon& Icon() const { return FIcon; }
    void SetIcon(const QIcon& Value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool Value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);
    bool WantEnterExitEvents() const { return FWantEnterExitEvents; }
    void SetWantEnterExitEvents(bool Value);

    // Plain stored properties. When false, every mouse notification is ignored
    // (balloon notifications still arrive).
    bool Enabled = true;
    QPointer<TPopupMenu> PopupMenu;  // cleared when the menu is destroyed
    bool LeftPopup = false;
    bool MinimizeToTray = false;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TCycleEvent OnCycle;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;

    virtual bool CanUseDefaultIcon();
    // Each answers whether the notification area accepted the request.
    virtual bool AddTrayIcon();
    virtual bool RemoveTrayIcon();
    virtual bool UpdateTrayIcon();

    void PopupMenuAt(int X, int Y);
    void PopupMenuAtCursor();
    void HideOwnerForm();
    void HideAppWindow();
    // Refreshes the icon and tooltip of the icon record; answers whether it may be sent.
    bool FillIconData();

protected:
    virtual void FireClick();
    virtual void FireDblClick();
    virtual void FireCycle(int NextIndex);
    virtual void FireMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void FireMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void FireMouseMove(TShiftState Shift, int X, int Y);
    virtual void FireMouseEnter();
    virtual void FireMouseExit();
    virtual void MinimizeIntoTray();

    // Watches the owner window: a direct show brings the application and then
    // the owner to the front; minimising may go into the tray instead.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void HandleNotification(unsigned Code);
    void HandleMouseNotification(unsigned Code);
    bool AppWindowHook(platform::Message& Message);
    void MinimizeOwnerIntoTray();
    void ClickTimerTick();
    void CycleTimerTick();
    void ExitTimerTick();
    void AssignIcon(const QIcon& Value);
    void MouseDown(TMouseButton Button);
    void MouseUp(TMouseButton Button);
    QWidget* OwnerWindow() const { return FOwnerWindow; }

    bool FDesignPreview = false;
    QPointer<TImageList> FIconList;
    bool FCycleIcons = false;
    unsigned FCycleInterval = 0;
    QString FHint;
    bool FShowHint = true;
    QIcon FIcon;
    bool FIconVisible = false;
    int FIconIndex = 0;
    bool FWantEnterExitEvents = false;

    std::uintptr_t FIconId;
    std::unique_ptr<TLightTimer> FCycleTimer;
    std::unique_ptr<TLightTimer> FClickTimer;
    std::unique_ptr<TLightTimer> FExitTimer;
    bool FClickStarted = false;
    bool FClickReady = false;
    bool FDoubleClicked = false;
    QPoint FLastPosition;
    bool FPointerOutside = true;
    // 0: classic notifications; 1: version-3 notifications. The program keeps 0.
    int FNotifyMode = 0;
    bool FStartupPending = true;
    bool FSettingPreview = false;
    QPointer<QWidget> FOwnerWindow;
    platform::ApplicationWindow::HookId FHookId = 0;
    platform::NotifyIconData FIconData;
};
