#include "skin/SkinComponent.h"

#include "skin/Skin3rd.h"

#include <QWidget>

TSkinComponent::TSkinComponent(QObject* owner) : QObject(owner), Skin3rd(BuiltinSkin3rd()) {}

TSkinControls TSkinComponent::DefaultSkinControls()
{
    TSkinControls controls;
    for (int kind = xcMainMenu; kind <= xcFastReport; ++kind)
        controls.Include(static_cast<TSkinControl>(kind));
    controls.Exclude(xcMenuItem);
    controls.Exclude(xcFastReport);
    return controls;
}

QWidget* TSkinComponent::OwnerForm() const
{
    auto* owner = qobject_cast<QWidget*>(parent());
    return owner ? owner->window() : nullptr;
}
