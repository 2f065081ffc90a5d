#pragma once

#include "skin/format/SkinData.h"
#include "skin/format/SkinReader.h"
#include "skin/SkinSettings.h"

#include <QByteArray>
#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QWidget;
class TSkinStyle;
struct TSkinPictures;

// The skin component: holds one stored skin (its SkinStream property), the
// skin's elements once loaded and the settings that say what is skinned. The
// skin manager (SkinManager.h) decides which windows wear it; the drawing
// engine (SkinStyle.h) paints with it.
class TSkin : public QObject {
    Q_OBJECT
public:
    explicit TSkin(QObject* owner = nullptr);
    ~TSkin() override;

    // --- published properties, in their order ---------------------------------
    bool Active() const { return active_; }
    // At run time (after Loaded) a change asks the manager to skin or unskin
    // the windows 250 ms later; before, it is only remembered.
    void SetActive(bool value);
    // A control whose "Tag" property equals it keeps the system look.
    int DisableTag = 99;
    TSkinControls SkinControls = DefaultSkinControls();
    TSkinOptions Options{xoPreview, xoToolbarBK, xoCaptionButtonHint};
    // Lines "class name=skin kind": controls of those classes are skinned as that kind.
    QStringList Skin3rd;
    const QString& SkinFile() const { return skinFile_; }
    // At run time, naming an existing file loads it as the stored skin and asks
    // for the skinned windows to be refreshed; a file that does not load as a
    // skin leaves the stored skin and the windows as they were.
    void SetSkinFile(const QString& fileName);
    // Shows whether a stored skin is present while the window is being
    // designed; at run time it reads "(none)". Writing it has no effect.
    QString SkinStore() const { return QStringLiteral("(none)"); }
    void SetSkinStore(const QString&) {}
    TSkinFormtype SkinFormtype = sfMainform;
    QString Version() const { return QStringLiteral("3.12.05.20"); }
    void SetVersion(const QString&) {}
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

    // The component has been made and its properties set (the form calls it
    // once its controls exist): registers with the skin manager and, for the
    // main-form component, installs the window hook and asks for the skin.
    void Loaded();
    bool IsLoaded() const { return loaded_; }

    // The owner's form, when the owner is a widget.
    QWidget* OwnerForm() const;
    const QFont& MenuFont() const { return menuFont_; }
    // The application's icon at small-icon size, transparent where magenta.
    const QPixmap& SmallIcon() const { return smallIcon_; }
    // The loaded skin prepared for painting; null while no skin is loaded.
    const TSkinPictures* Pictures() const { return pictures_.get(); }
    // The drawing engine of this component.
    TSkinStyle* Style();

    // Reads the SkinStream property: a signed 32-bit little-endian length n, then
    // n bytes of stored skin. For n > 0 the bytes replace the stored skin and the
    // skin is loaded at once; n <= 0 changes nothing and loads nothing; a length
    // beyond the bytes given is refused and changes nothing. True when a skin is
    // loaded afterwards.
    bool ReadSkinStream(std::span<const std::uint8_t> property);
    bool ReadSkinStream(const QByteArray& property)
    {
        return ReadSkinStream(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(property.constData()),
                                                            static_cast<std::size_t>(property.size())));
    }
    // The property's bytes: the stored skin's length, then the stored skin.
    std::vector<std::uint8_t> WriteSkinStream() const;

    const std::vector<std::uint8_t>& StoredSkin() const { return storedSkin_; }

    // The load sequence: open the stored skin, take its first ".ini" entry as the
    // description, parse it and read the skin's elements. A stored skin that does
    // not open, or has no description, leaves no skin loaded (the system look).
    bool LoadSkin();

    bool SkinLoaded() const { return data_.has_value(); }
    // The loaded skin's elements; null while no skin is loaded.
    const SkinData* Data() const { return data_ ? &*data_ : nullptr; }
    // The opened archive, for pictures the drawing engine looks up itself.
    const TSkinReader& Reader() const { return reader_; }

private:
    void BuildSmallIcon();

    std::vector<std::uint8_t> storedSkin_;
    TSkinReader reader_;
    std::optional<SkinData> data_;  // empty: the no-skin state
    std::unique_ptr<TSkinPictures> pictures_;
    std::unique_ptr<TSkinStyle> style_;
    bool active_ = false;
    bool loaded_ = false;
    QString skinFile_;
    QFont menuFont_;
    QPixmap smallIcon_;
};

// The settings the program gives its main window's Skin1.
TSkinControls ProgramSkinControls();

// The program's own skin as the SkinStream property of the main window's Skin1,
// embedded at build time.
QByteArray ProgramSkinStream();
