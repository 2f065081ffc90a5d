#include "skin/SkinnedMenu.h"

#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"
#include "skin/Skins.h"

#include <QMenu>

TSkinnedMenu::TSkinnedMenu(QMenu* menu, TSkin& component) : menu_(menu)
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
    if (colours.MenuText.isValid()) {
        palette.setColor(QPalette::WindowText, colours.MenuText);
        palette.setColor(QPalette::ButtonText, colours.MenuText);
        palette.setColor(QPalette::Text, colours.MenuText);
    }
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
