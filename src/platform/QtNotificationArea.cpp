#include "platform/MessageWindow.h"
#include "platform/NotificationArea.h"
#include "platform/StatusNotifierItems.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace platform {
namespace {

// Each icon record is one QSystemTrayIcon. Its activations become the mouse
// notifications of the record's callback message. Where Qt puts the icon into
// an XEmbed notification area (an X11 tray window), the program pops up its own
// menu, so Qt is given none (it would pop it up a second time). Where the icon
// is a StatusNotifierItem on the session bus (Wayland, and X11 desktops whose
// tray speaks D-Bus), the host draws the menu itself, from the record's menu
// that Qt publishes. The area is watched: when it goes away its icons are gone,
// and when it comes (back) every window is told with the "TaskbarCreated"
// message so that it can add its icons again.
class QtNotificationArea final : public NotificationArea {
public:
    QtNotificationArea() : available_(QSystemTrayIcon::isSystemTrayAvailable())
    {
        watch_.setInterval(WatchIntervalMs);
        QObject::connect(&watch_, &QTimer::timeout, [this] { watchAvailability(); });
        watch_.start();
    }

    bool notifyIcon(unsigned message, const NotifyIconData& data) override
    {
        const Key key{data.window, data.id};
        const auto found = icons_.find(key);
        switch (message) {
        case NIM_ADD:
            if (found != icons_.end() || !isAvailable())
                return false;
            add(key, data);
            return true;
        case NIM_MODIFY:
            if (found == icons_.end())
                return false;
            apply(found->second, data);
            return true;
        case NIM_DELETE:
            if (found == icons_.end())
                return false;
            dispose(std::move(found->second.tray));
            icons_.erase(found);
            return true;
        case NIM_SETVERSION:
            if (found == icons_.end())
                return false;
            found->second.version = data.version;
            return true;
        default:
            return false;
        }
    }

    bool isAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

private:
    using Key = std::pair<WindowHandle, std::uintptr_t>;
    struct Entry {
        std::unique_ptr<QSystemTrayIcon> tray;
        unsigned callbackMessage = 0;
        std::uint32_t version = 0;
        bool menuDrawnByHost = false;
    };
    static constexpr int WatchIntervalMs = 1000;

    void add(const Key& key, const NotifyIconData& data)
    {
        Entry& entry = icons_[key];
        entry.tray = std::make_unique<QSystemTrayIcon>();
        QSystemTrayIcon* tray = entry.tray.get();
        QObject::connect(tray, &QSystemTrayIcon::activated,
                         [this, key](QSystemTrayIcon::ActivationReason reason) { activated(key, reason); });
        QObject::connect(tray, &QSystemTrayIcon::messageClicked, [this, key] { balloonClicked(key); });
        apply(entry, data);
        tray->show();
        // Only a shown icon has found its place: an item on the bus, or a tray window.
        entry.menuDrawnByHost = OffersStatusNotifierItem();
        publishMenu(entry, data);
    }

    static void apply(Entry& entry, const NotifyIconData& data)
    {
        if (data.flags & NIF_MESSAGE)
            entry.callbackMessage = data.callbackMessage;
        if (data.flags & NIF_ICON)
            entry.tray->setIcon(data.icon.isNull() ? blankIcon() : data.icon);
        if (data.flags & NIF_TIP)
            entry.tray->setToolTip(data.tipText());
        publishMenu(entry, data);
    }

    static void publishMenu(Entry& entry, const NotifyIconData& data)
    {
        if (entry.menuDrawnByHost && entry.tray->contextMenu() != data.menu)
            entry.tray->setContextMenu(data.menu);
    }

    // An icon without a picture still takes its place and answers the mouse.
    static QIcon blankIcon()
    {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }

    // Qt reports a press, a double-click, a context request or a middle click;
    // each becomes the notifications the desktop would send for it.
    void activated(const Key& key, QSystemTrayIcon::ActivationReason reason)
    {
        const auto found = icons_.find(key);
        if (found == icons_.end())
            return;
        const bool version3 = found->second.version >= NOTIFYICON_VERSION;
        std::vector<unsigned> codes;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            codes = {WM_LBUTTONDOWN, WM_LBUTTONUP};
            if (version3)
                codes.push_back(NIN_SELECT);
            break;
        case QSystemTrayIcon::DoubleClick:
            codes = {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
            break;
        case QSystemTrayIcon::Context:
            codes = {WM_RBUTTONDOWN, WM_RBUTTONUP};
            if (version3)
                codes.push_back(WM_CONTEXTMENU);
            break;
        case QSystemTrayIcon::MiddleClick:
            codes = {WM_MBUTTONDOWN, WM_MBUTTONUP};
            break;
        case QSystemTrayIcon::Unknown:
            break;
        }
        deliver(key, codes);
    }

    void balloonClicked(const Key& key)
    {
        const auto found = icons_.find(key);
        if (found != icons_.end() && found->second.version >= NOTIFYICON_VERSION)
            deliver(key, {NIN_BALLOONUSERCLICK});
    }

    // The receiver may delete the icon (or pop up a menu) between two notifications.
    void deliver(const Key& key, const std::vector<unsigned>& codes)
    {
        for (const unsigned code : codes) {
            const auto found = icons_.find(key);
            if (found == icons_.end())
                return;
            QSystemTrayIcon* tray = found->second.tray.get();
            delivering_.insert(tray);
            SendMessage(key.first, found->second.callbackMessage, key.second, static_cast<LParam>(code));
            delivering_.erase(tray);
        }
    }

    // An icon deleted while its own activation is being delivered is freed by
    // Qt once the activation is over.
    void dispose(std::unique_ptr<QSystemTrayIcon> tray)
    {
        tray->hide();
        if (delivering_.count(tray.get()) != 0)
            tray.release()->deleteLater();
    }

    void watchAvailability()
    {
        const bool now = isAvailable();
        if (now == available_)
            return;
        available_ = now;
        if (!now) {
            // The area went away and took its icons with it.
            for (auto& entry : icons_)
                dispose(std::move(entry.second.tray));
            icons_.clear();
            return;
        }
        BroadcastMessage(RegisterWindowMessage(TaskbarCreatedName));
    }

    std::map<Key, Entry> icons_;
    std::set<QSystemTrayIcon*> delivering_;
    QTimer watch_;
    bool available_;
};

} // namespace

template <>
NotificationArea& Service<NotificationArea>::defaultInstance()
{
    // Never destroyed: components freed during the program's exit still reach it.
    static auto* service = new QtNotificationArea;
    return *service;
}

} // namespace platform
