#include "skin/SkinManager.h"

#include "skin/SkinComponent.h"
#include "skin/SkinMessages.h"
#include "skin/SkinnedMenu.h"
#include "skin/SkinnedWindow.h"
#include "skin/WindowClass.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSizeGrip>
#include <QWidget>

#include <algorithm>

namespace {

TSkinManager* g_manager = nullptr;

// A form whose Tag is this keeps the system look.
constexpr int kFormNoSkinTag = 99;
// Dialogs with this style bit are left alone.
constexpr unsigned kDialogStyleNoSkin = 0x200;

// A top-level window that can be activated: not a popup, tool tip or the desktop,
// nor a window placed without the window manager (a tray icon embedded in the
// notification area is one).
bool IsFormWindow(const QWidget* widget)
{
    if (!widget || !widget->isWindow() || widget->windowFlags().testFlag(Qt::BypassWindowManagerHint))
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool;
}

bool OpenedFromMenuBar(const QMenu* menu)
{
    for (const QObject* up = menu->parent(); up; up = up->parent())
        if (qobject_cast<const QMenuBar*>(up))
            return true;
    const QAction* action = menu->menuAction();
    if (!action)
        return false;
    const auto widgets = action->associatedObjects();
    return std::any_of(widgets.begin(), widgets.end(),
                       [](const QObject* object) { return qobject_cast<const QMenuBar*>(object) != nullptr; });
}

} // namespace

bool TSkinManager::Skinned::Closed() const
{
    return !Window || Object->Closed();
}

TSkinManager* TSkinManager::Instance()
{
    return g_manager;
}

TSkinManager& TSkinManager::Ensure()
{
    if (!g_manager)
        g_manager = new TSkinManager();
    return *g_manager;
}

void TSkinManager::DestroyInstance()
{
    delete g_manager;
}

TSkinManager::TSkinManager() : QObject(QCoreApplication::instance())
{
    actionTimer_.setInterval(100);
    actionTimer_.setSingleShot(false);
    connect(&actionTimer_, &QTimer::timeout, this, &TSkinManager::ActionTimerTick);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (IsFormWindow(widget))
            forms_.emplace_back(widget);
}

TSkinManager::~TSkinManager()
{
    destroying_ = true;
    if (hookInstalled_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    actionTimer_.stop();
    menus_.clear();
    windows_.clear();
    if (g_manager == this)
        g_manager = nullptr;
}

void TSkinManager::AddComponent(TSkinComponent* component)
{
    if (std::find(components_.begin(), components_.end(), component) == components_.end())
        components_.push_back(component);
}

void TSkinManager::RemoveComponent(TSkinComponent* component)
{
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
    if (pendingComponent_ == component)
        pendingComponent_ = nullptr;
    for (Skinned& skinned : windows_) {
        if (&skinned.Object->Component() != component)
            continue;
        // The owner form is being destroyed with its component: nothing to give back.
        if (skinned.Window && skinned.Window == component->parent())
            skinned.Object->Abandon();
        else
            skinned.Object->Restore();
    }
    DropClosedWindows();
    menus_.erase(std::remove_if(menus_.begin(), menus_.end(),
                                [](const OpenMenu& open) { return !open.Menu; }),
                 menus_.end());
}

TSkinComponent* TSkinManager::MainComponent() const
{
    const auto found = std::find_if(components_.begin(), components_.end(),
                                    [](const TSkinComponent* c) { return c->SkinFormtype == sfMainform; });
    return found == components_.end() ? nullptr : *found;
}

void TSkinManager::InstallHook()
{
    if (hookInstalled_)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    hookInstalled_ = true;
}

void TSkinManager::RequestAction(int code, int delayMs, TSkinComponent* component)
{
    pendingAction_ = code;
    pendingComponent_ = component;
    actionTimer_.setInterval(delayMs);
    if (started_ > 0)
        actionTimer_.start();
    else if (code == 1)
        active_ = true;
    else if (code == 2)
        active_ = false;
}

void TSkinManager::RequestReskin(QWidget* window, int delayMs, TSkinComponent* component)
{
    pendingWindow_ = window;
    RequestAction(7, delayMs, component);
}

void TSkinManager::ActionTimerTick()
{
    actionTimer_.stop();
    TSkinComponent* component = pendingComponent_;
    if (!component)
        return;
    const int code = pendingAction_;
    if (component->SkinFormtype == sfOnlyThisForm) {
        ActOnOwnerForm(code, component);
    } else {
        switch (code) {
        case 1: SkinEveryForm(); break;
        case 2: UnskinEveryWindow(); break;
        case 3: RefreshWindows(component); break;
        case 6: DropClosedWindows(); break;
        case 7:
            if (QWidget* window = pendingWindow_) {
                if (TSkinnedWindow* skinned = SkinnedWindow(window)) {
                    skinned->Restore();
                    skinned->MarkClosed();
                }
                DropClosedWindows();
                SkinDecision(window);
            }
            return;
        default: break;
        }
    }
    if (component->OnSkinChanged)
        component->OnSkinChanged(component);
    pendingComponent_ = nullptr;
}

void TSkinManager::ActOnOwnerForm(int code, TSkinComponent* component)
{
    QWidget* form = component->OwnerForm();
    switch (code) {
    case 1:
        if (form)
            SkinDecision(form);
        break;
    case 2:
        if (form)
            UnskinWindow(form);
        break;
    case 3:
        if (TSkinnedWindow* skinned = SkinnedWindow(form))
            skinned->Reload();
        break;
    case 6: DropClosedWindows(); break;
    default: break;
    }
}

void TSkinManager::SkinEveryForm()
{
    active_ = true;
    DropClosedWindows();
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(), [](const QPointer<QWidget>& f) { return !f; }),
                 forms_.end());
    const auto forms = forms_;  // a decision may add forms
    for (auto form = forms.rbegin(); form != forms.rend(); ++form) {
        QWidget* window = *form;
        if (!window || !window->isVisible() || !window->isWindow())
            continue;
        SkinDecision(window, true);
    }
}

void TSkinManager::UnskinEveryWindow()
{
    active_ = false;
    auto windows = std::move(windows_);
    windows_.clear();
    for (Skinned& skinned : windows)
        skinned.Object->Restore();
}

void TSkinManager::RefreshWindows(TSkinComponent* component)
{
    DropClosedWindows();
    for (Skinned& skinned : windows_)
        if (&skinned.Object->Component() == component)
            skinned.Object->Reload();
    for (Skinned& skinned : windows_)
        if (skinned.Window)
            skinned.Window->update();
}

void TSkinManager::DropClosedWindows()
{
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const Skinned& s) { return s.Closed(); }),
                   windows_.end());
}

TSkinnedWindow* TSkinManager::SkinnedWindow(const QWidget* window) const
{
    if (!window)
        return nullptr;
    for (const Skinned& skinned : windows_)
        if (skinned.Window == window && !skinned.Object->Closed())
            return skinned.Object.get();
    return nullptr;
}

int TSkinManager::SkinnedWindowCount() const
{
    return static_cast<int>(std::count_if(windows_.begin(), windows_.end(), [](const Skinned& s) { return !s.Closed(); }));
}

void TSkinManager::UnskinWindow(QWidget* window)
{
    if (TSkinnedWindow* skinned = SkinnedWindow(window))
        skinned->Restore();
    DropClosedWindows();
}

bool TSkinManager::FilterLetsThrough(const QWidget* window, const QString& className) const
{
    const TSkinComponent* main = MainComponent();
    const QString lower = className.toLower();
    bool skin = true;
    if (main && !main->Options.Contains(xoPreview) && lower.contains(QLatin1String("preview")))
        skin = false;
    if (className == QLatin1String("#32770") && (WindowStyleBits(window) & kDialogStyleNoSkin))
        skin = false;
    if (lower == QLatin1String("tpopupdbtreeview"))
        skin = false;
    if (main && main->OnFormSkin) {
        main->OnFormSkin(const_cast<TSkinComponent*>(main), className, skin);
    } else {
        if (className == QLatin1String("SysMonthCal32"))
            skin = false;
        if (className.startsWith(QLatin1String("Tfr")) && main && main->SkinControls.Contains(xcFastReport))
            skin = false;
    }
    return skin;
}

TSkinComponent* TSkinManager::ChooseComponent(const QWidget* window, const QString& className) const
{
    for (TSkinComponent* c : components_)
        if (c->SkinFormtype == sfOnlyThisForm && c->OwnerForm() == window)
            return c;
    const QString lower = className.toLower();
    if (lower == QLatin1String("tmessageform") || lower == QLatin1String("#32770"))
        for (TSkinComponent* c : components_)
            if (c->SkinFormtype == sfDialog)
                return c;
    if (TSkinComponent* main = MainComponent())
        return main;
    return components_.empty() ? nullptr : components_.front();
}

bool TSkinManager::SkinDecision(QWidget* window, bool waiveMdiRule)
{
    if (!active_ || !window)
        return false;
    DropClosedWindows();
    if (RefusesSkin(window) || SkinnedWindow(window))
        return false;
    QWidget* form = window;  // every window here is a widget: its own form object
    if (!waiveMdiRule && !IsMdiChild(window) && !window->isWindow() && ParentIsMdiClient(window))
        return false;
    const QString className = WindowClassName(window);
    if (window->rect().isEmpty() && !IsMdiChild(window))
        return false;
    if (FormTag(form) == kFormNoSkinTag)
        return false;
    if (className.contains(QLatin1String("TcxPopupEditPopupWindow")) ||
        className.contains(QLatin1String("TTERenderWindow")) || className == QLatin1String("TApplication"))
        return false;
    if (!FilterLetsThrough(window, className))
        return false;
    TSkinComponent* component = ChooseComponent(window, className);
    if (!component || !component->SkinLoaded())
        return false;
    windows_.push_back({window, std::make_unique<TSkinnedWindow>(window, form, *component)});
    QCoreApplication::postEvent(window, new TSkinNoticeEvent());
    return true;
}

TSkinnedMenu* TSkinManager::SkinnedMenu(const QMenu* menu) const
{
    for (const OpenMenu& open : menus_)
        if (open.Menu == menu)
            return open.Object.get();
    return nullptr;
}

bool TSkinManager::SkinPopupMenu(QMenu* menu)
{
    if (!active_ || !menu || SkinnedMenu(menu) || RefusesSkin(menu))
        return false;
    if (menuKind_ == 0 && OpenedFromMenuBar(menu))
        menuKind_ = 1;
    TSkinComponent* component = ChooseComponent(menu, WindowClassName(menu));
    if (!component || !component->SkinLoaded())
        return false;
    const TSkinControls& kinds = component->SkinControls;
    const bool allowed = menuKind_ == 0   ? kinds.Contains(xcPopupMenu)
                         : menuKind_ == 1 ? kinds.Contains(xcMainMenu) || kinds.Contains(xcMenuItem)
                                          : kinds.Contains(xcSystemMenu);
    if (!allowed)
        return false;
    menus_.push_back({menu, std::make_unique<TSkinnedMenu>(menu, *component)});
    return true;
}

void TSkinManager::ReleaseMenu(QMenu* menu)
{
    const auto found = std::find_if(menus_.begin(), menus_.end(), [menu](const OpenMenu& o) { return o.Menu == menu; });
    if (found != menus_.end())
        menus_.erase(found);
    menus_.erase(std::remove_if(menus_.begin(), menus_.end(), [](const OpenMenu& o) { return !o.Menu; }),
                 menus_.end());
    if (menus_.empty())
        menuKind_ = 0;
}

void TSkinManager::NoteForm(QWidget* widget)
{
    if (!IsFormWindow(widget))
        return;
    if (std::none_of(forms_.begin(), forms_.end(), [widget](const QPointer<QWidget>& f) { return f == widget; }))
        forms_.emplace_back(widget);
}

bool TSkinManager::eventFilter(QObject* watched, QEvent* event)
{
    if (destroying_ || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::Polish:
        // A window is being made.
        if (widget->isWindow() && !IsControlPopup(widget)) {
            NoteForm(widget);
        } else if (IsMdiChild(widget)) {
            SkinDecision(widget);
        } else if (TSkinnedWindow* owner = SkinnedWindow(OwningWindow(widget))) {
            // Controls added later, and size grips, follow their window.
            owner->AdoptControl(widget);
        }
        break;
    case QEvent::Show:
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isWindow()) {
            SkinPopupMenu(menu);
        } else if (IsFormWindow(widget)) {
            // Qt sends this before it maps the window: skinned now, the window
            // appears once, in the skin and at its final size.
            NoteStart();
            NoteForm(widget);
            SkinDecision(widget);
        }
        break;
    case QEvent::Hide:
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && SkinnedMenu(menu))
            ReleaseMenu(menu);
        break;
    case QEvent::WindowActivate:
        if (IsFormWindow(widget)) {
            NoteStart();
            NoteForm(widget);
            SkinDecision(widget);
        }
        break;
    default:
        break;
    }
    return false;
}
