#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

class QMenu;
class QWidget;
class TSkinComponent;
class TSkinnedMenu;
class TSkinnedWindow;

// The one skin manager of the process: decides which windows wear the skin and
// when. It watches the creation, activation and destruction of the program's
// windows and popup menus through an application-wide event filter (the
// window hook), and carries out switching the skin on and off as deferred
// actions on its action timer.
//
// Actions: 1 skin every visible form, 2 unskin every window, 3 reload and
// repaint the windows of a component, 6 drop the skinning objects of closed
// windows, 7 skin one remembered window again.
class TSkinManager : public QObject {
    Q_OBJECT
public:
    // The manager, made by the first component that loads; null before.
    static TSkinManager* Instance();
    static TSkinManager& Ensure();
    // Ends the manager: removes the hook, stops the timer and gives every
    // skinned window and menu its own look back.
    static void DestroyInstance();
    ~TSkinManager() override;

    // --- components -------------------------------------------------------------
    void AddComponent(TSkinComponent* component);
    // A component going away: its windows get their own look back (its owner
    // form, which is going with it, is left alone).
    void RemoveComponent(TSkinComponent* component);
    const std::vector<TSkinComponent*>& Components() const { return components_; }
    // The first component of type sfMainform, or null.
    TSkinComponent* MainComponent() const;

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    int Started() const { return started_; }
    void CountStart() { ++started_; }

    // The window hook.
    void InstallHook();
    bool HookInstalled() const { return hookInstalled_; }

    // --- deferred actions ---------------------------------------------------------
    // Remembers the action and its component and arms the timer with the delay;
    // before the manager has started, only the active flag follows (1 on, 2 off).
    void RequestAction(int code, int delayMs, TSkinComponent* component);
    // Action 7 for one window.
    void RequestReskin(QWidget* window, int delayMs, TSkinComponent* component);
    const QTimer& ActionTimer() const { return actionTimer_; }
    int PendingAction() const { return pendingAction_; }
    TSkinComponent* PendingComponent() const { return pendingComponent_; }

    // --- windows ----------------------------------------------------------------------
    // The skin decision: skins the window when every test passes. waiveMdiRule
    // is set while action 1 walks the forms. True when the window was skinned.
    bool SkinDecision(QWidget* window, bool waiveMdiRule = false);
    // The component a window (of the given window class) is skinned with.
    TSkinComponent* ChooseComponent(const QWidget* window, const QString& className) const;
    TSkinnedWindow* SkinnedWindow(const QWidget* window) const;
    int SkinnedWindowCount() const;
    // Gives the window its own look back and frees its skinning object.
    void UnskinWindow(QWidget* window);
    void DropClosedWindows();

    // --- popup menus ------------------------------------------------------------------
    // The popup-menu rule; true when the menu was skinned.
    bool SkinPopupMenu(QMenu* menu);
    TSkinnedMenu* SkinnedMenu(const QMenu* menu) const;
    int SkinnedMenuCount() const { return static_cast<int>(menus_.size()); }
    // 0 popup, 1 from a menu bar, 2 system menu.
    int MenuKind() const { return menuKind_; }
    void SetMenuKind(int kind) { menuKind_ = kind; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TSkinManager();
    struct Skinned {
        QPointer<QWidget> Window;
        std::unique_ptr<TSkinnedWindow> Object;
        bool Closed() const;
    };
    struct OpenMenu {
        QPointer<QMenu> Menu;
        std::unique_ptr<TSkinnedMenu> Object;
    };

    void ActionTimerTick();
    void ActOnOwnerForm(int code, TSkinComponent* component);
    void SkinEveryForm();
    void UnskinEveryWindow();
    void RefreshWindows(TSkinComponent* component);
    bool FilterLetsThrough(const QWidget* window, const QString& className) const;
    void ReleaseMenu(QMenu* menu);
    void NoteForm(QWidget* widget);
    // The first window the hook sees shown or activated starts the manager.
    void NoteStart() { started_ = std::max(started_, 1); }

    std::vector<TSkinComponent*> components_;
    bool active_ = false;
    int started_ = 0;
    bool hookInstalled_ = false;
    bool destroying_ = false;
    std::vector<Skinned> windows_;
    std::vector<OpenMenu> menus_;
    int menuKind_ = 0;
    std::vector<QPointer<QWidget>> forms_;  // top-level windows in the order they appeared
    QTimer actionTimer_;
    int pendingAction_ = 0;
    QPointer<TSkinComponent> pendingComponent_;
    QPointer<QWidget> pendingWindow_;
};
