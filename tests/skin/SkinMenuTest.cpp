// Popup menus wear the skin while open, for the control kinds that allow it.
#include "SkinFixture.h"

#include "skin/SkinMessages.h"
#include "skin/SkinnedMenu.h"
#include "skin/SkinStyle.h"

#include <QMenu>
#include <QMenuBar>

namespace {

class RefusingMenu : public QMenu {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == TSkinQueryEvent::Id)
            static_cast<TSkinQueryEvent*>(event)->Result = 1;
        return QMenu::event(event);
    }
};

// Opens the menu, reports whether it wore the skin, and closes it again.
bool SkinnedWhileOpen(QMenu& menu)
{
    menu.popup(QPoint(20, 20));
    QApplication::processEvents();
    const bool skinned = TSkinManager::Instance()->SkinnedMenu(&menu) != nullptr;
    menu.hide();
    QApplication::processEvents();
    return skinned;
}

// The colour of the text in a part of a light picture.
QRgb DarkestColour(const QImage& image, const QRect& part)
{
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            if (qGray(image.pixel(x, y)) < qGray(darkest))
                darkest = image.pixel(x, y);
    return darkest;
}

} // namespace

using SkinnedMenus = SkinFixture;

TEST_F(SkinnedMenus, PopupMenuWearsTheSkinOnlyWhileOpen)
{
    LoadSkin();
    QMenu menu;
    menu.addAction(QStringLiteral("显示窗口"));
    menu.popup(QPoint(20, 20));
    QApplication::processEvents();
    ASSERT_NE(Manager().SkinnedMenu(&menu), nullptr);
    EXPECT_EQ(menu.style(), skin->Style());
    EXPECT_EQ(Manager().MenuKind(), 0);
    menu.hide();
    QApplication::processEvents();
    EXPECT_EQ(Manager().SkinnedMenuCount(), 0);
    EXPECT_EQ(menu.style(), QApplication::style());
    EXPECT_FALSE(menu.testAttribute(Qt::WA_SetPalette));
}

TEST_F(SkinnedMenus, KindOfMenuMustBeAmongTheSkinControls)
{
    skin->SkinControls.Exclude(xcPopupMenu);
    LoadSkin();
    QMenu popup;
    popup.addAction(QStringLiteral("退出程序"));
    EXPECT_FALSE(SkinnedWhileOpen(popup));
    skin->SkinControls.Include(xcPopupMenu);
    EXPECT_TRUE(SkinnedWhileOpen(popup));

    // A menu of a menu bar needs xcMainMenu or xcMenuItem.
    QMenuBar bar;
    QMenu* fromBar = bar.addMenu(QStringLiteral("File"));
    fromBar->addAction(QStringLiteral("Open"));
    skin->SkinControls.Exclude(xcMainMenu);
    EXPECT_FALSE(SkinnedWhileOpen(*fromBar));
    EXPECT_EQ(Manager().MenuKind(), 1);  // stays until a skinned menu closes
    Manager().SetMenuKind(0);
    skin->SkinControls.Include(xcMenuItem);
    EXPECT_TRUE(SkinnedWhileOpen(*fromBar));
    EXPECT_EQ(Manager().MenuKind(), 0);

    // The system menu kind needs xcSystemMenu.
    Manager().SetMenuKind(2);
    skin->SkinControls.Exclude(xcSystemMenu);
    EXPECT_FALSE(SkinnedWhileOpen(popup));
}

TEST_F(SkinnedMenus, RefusingMenuAndInactiveManagerLeaveMenusAlone)
{
    LoadSkin();
    RefusingMenu refusing;
    refusing.addAction(QStringLiteral("关于我们"));
    EXPECT_FALSE(SkinnedWhileOpen(refusing));
    QMenu menu;
    menu.addAction(QStringLiteral("关于我们"));
    Manager().SetActive(false);
    EXPECT_FALSE(SkinnedWhileOpen(menu));
}

// An item that cannot be chosen looks it: its text is drawn in another colour
// than the same text enabled.
TEST_F(SkinnedMenus, DisabledItemsAreDrawnAsDisabled)
{
    LoadSkin();
    QMenu menu;
    QAction* enabled = menu.addAction(QStringLiteral("粘贴"));
    QAction* disabled = menu.addAction(QStringLiteral("粘贴"));
    disabled->setEnabled(false);
    menu.popup(QPoint(20, 20));
    QApplication::processEvents();
    ASSERT_NE(Manager().SkinnedMenu(&menu), nullptr);
    ASSERT_EQ(menu.activeAction(), nullptr);  // neither is highlighted
    const QImage shown = menu.grab().toImage();
    EXPECT_NE(DarkestColour(shown, menu.actionGeometry(enabled)), DarkestColour(shown, menu.actionGeometry(disabled)));
    menu.hide();
}
