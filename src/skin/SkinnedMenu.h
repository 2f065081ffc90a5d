#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QStyle>

class QMenu;
class TSkinComponent;

// The menu object of an open popup menu: the menu wears the component's skin
// (style, palette, the menu font) until it closes, then gets its own look back.
class TSkinnedMenu {
public:
    TSkinnedMenu(QMenu* menu, TSkinComponent& component);
    ~TSkinnedMenu();
    TSkinnedMenu(const TSkinnedMenu&) = delete;
    TSkinnedMenu& operator=(const TSkinnedMenu&) = delete;

    QMenu* Menu() const { return menu_; }
    void Restore();

private:
    QPointer<QMenu> menu_;
    bool ownStyle_ = false;
    QPointer<QStyle> style_;
    bool ownPalette_ = false;
    QPalette palette_;
    bool restored_ = false;
};
