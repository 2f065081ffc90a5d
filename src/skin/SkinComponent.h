#pragma once

#include "skin/SkinSettings.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QPixmap;
class QWidget;
class TSkinStyle;
struct TSkinPictures;

// A skin component as the rest of the skin engine sees it: the settings and
// events it publishes and the loaded skin prepared for painting. The skin
// manager, the skinned windows and menus and the drawing engine know skins
// only through it; TSkin (Skins.h) is the component that holds and loads a
// stored skin and tells the manager of itself.
class TSkinComponent : public QObject {
    Q_OBJECT
public:
    explicit TSkinComponent(QObject* owner);

    // --- published settings, in their order ----------------------------------
    // A control whose "Tag" property equals it keeps the system look.
    int DisableTag = 99;
    TSkinControls SkinControls = DefaultSkinControls();
    TSkinOptions Options{xoPreview, xoToolbarBK, xoCaptionButtonHint};
    // Lines "class name=skin kind": controls of those classes are skinned as that kind.
    QStringList Skin3rd;
    TSkinFormtype SkinFormtype = sfMainform;
    bool MenuUpdate = true;
    bool MenuMerge = false;
    // Has the last word on whether a window of the class is skinned.
    std::function<void(QObject* Sender, const QString& className, bool& skin)> OnFormSkin;
    // After the manager has carried out a switch on, off or a refresh.
    std::function<void(QObject* Sender)> OnSkinChanged;
    // For each control of a window being skinned; clearing skin keeps its system look.
    std::function<void(QObject* Sender, QWidget* control, bool& skin)> OnSkinControl;
    std::function<void(QObject* Sender, QWidget* form)> OnBeforeSkinForm;
    std::function<void(QObject* Sender, QWidget* form)> OnAfterSkinForm;

    static TSkinControls DefaultSkinControls();

    // The owner's form, when the owner is a widget.
    QWidget* OwnerForm() const;

    // --- the loaded skin ------------------------------------------------------
    virtual bool SkinLoaded() const = 0;
    // The loaded skin prepared for painting; null while no skin is loaded.
    virtual const TSkinPictures* Pictures() const = 0;
    // The application's icon at small-icon size for a screen of that scale,
    // transparent where magenta; null until the component is loaded.
    virtual QPixmap SmallIcon(qreal scale) const = 0;
    // The drawing engine of this component.
    virtual TSkinStyle* Style() = 0;
};
