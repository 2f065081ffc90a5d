#include "skin/SkinnedMenu.h"

#include "skin/SkinComponent.h"
#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"

#include <QMenu>

TSkinnedMenu::TSkinnedMenu(QMenu* menu, TSkinComponent& component) : menu_(menu)
{
    const TSkinPictures* pictures = component.Pictures();
    if (!menu || !pictures)
        return;
    ownStyle_ = menu->testAttribute(Qt::WA_SetStyle);
    style_ = ownStyle_ ? menu->style() : nullptr;
    ownPalette_ = menu->testAttribute(Qt::WA_SetPalette);
    palette_ = menu->palette();

    QPalette palette = pictures->Palette;
    const SkinColours& colours = pictures->Skin.Colours;
    if (colours.Menu.isValid())
        palette.setColor(QPalette::Window, colours.Menu);
    // The menu's text colour is for the items that can be chosen; disabled
    // items keep the skin's (or the system's) disabled text colour.
    if (colours.MenuText.isValid())
        for (const auto group : {QPalette::Active, QPalette::Inactive})
            for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
                palette.setColor(group, role, colours.MenuText);
    menu->setStyle(component.Style());
    menu->setPalette(palette);
    // The menu was measured for the system look; it takes the skin's measure,
    // keeping its top left corner.
    menu->resize(menu->sizeHint());
}

TSkinnedMenu::~TSkinnedMenu()
{
    Restore();
}

void TSkinnedMenu::Restore()
{
    if (restored_ || !menu_)
        return;
    restored_ = true;
    menu_->setStyle(ownStyle_ ? style_.data() : nullptr);
    menu_->setPalette(ownPalette_ ? palette_ : QPalette());
}
