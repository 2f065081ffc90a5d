#pragma once

#include <QMenu>
#include <QPointer>

class QAction;

// A menu popped up at a screen position by a component (the tray icon).
// Top-level items may be marked as default: the first of them is what a
// double-click on the icon chooses, and it is drawn in bold.
class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TPopupMenu(QWidget* parent = nullptr);

    // Whether the component that owns the menu pops it up by itself.
    bool AutoPopup = true;
    // The component that popped the menu up last.
    QPointer<QObject> PopupComponent;

    void SetDefault(QAction* item, bool isDefault);
    static bool IsDefault(const QAction* item);
    // The top-level item marked as default with the lowest index, or null.
    QAction* DefaultItem() const;

    // Shows the menu at (X, Y) in screen coordinates and returns once it has closed.
    virtual void Popup(int X, int Y);
};
