#include "skin/ProgramSkin.h"

#include "skin/Skins.h"

#include <QWidget>

TSkin* CreateProgramSkin(QWidget* form)
{
    auto* skin = new TSkin(form);
    skin->setObjectName(QStringLiteral("Skin1"));
    skin->SetActive(true);
    skin->DisableTag = 99;
    skin->SkinControls = ProgramSkinControls();
    skin->ReadSkinStream(ProgramSkinStream());
    return skin;
}
