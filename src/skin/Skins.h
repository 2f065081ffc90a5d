#pragma once

#include "skin/format/SkinData.h"
#include "skin/format/SkinReader.h"
#include "skin/SkinComponent.h"
#include "skin/SkinSettings.h"

#include <QByteArray>
#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class TSkinStyle;
struct TSkinPictures;

// The skin component: holds one stored skin (its SkinStream property), the
// skin's elements once loaded and the settings that say what is skinned. The
// skin manager (SkinManager.h) decides which windows wear it; the drawing
// engine (SkinStyle.h) paints with it.
class TSkin : public TSkinComponent {
    Q_OBJECT
public:
    explicit TSkin(QObject* owner = nullptr);
    ~TSkin() override;

    // --- published properties ----------------------------------------------------
    // In their order: Active, DisableTag, SkinControls, Options, Skin3rd,
    // SkinFile, SkinStore, SkinFormtype, Version, MenuUpdate, MenuMerge; the
    // settings among them and the events are TSkinComponent's.
    bool Active() const { return active_; }
    // At run time (after Loaded) a change asks the manager to skin or unskin
    // the windows 250 ms later; before, it is only remembered.
    void SetActive(bool value);
    const QString& SkinFile() const { return skinFile_; }
    // At run time, naming an existing file loads it as the stored skin and asks
    // for the skinned windows to be refreshed; a file that does not load as a
    // skin leaves the stored skin and the windows as they were.
    void SetSkinFile(const QString& fileName);
    // Shows whether a stored skin is present while the window is being
    // designed; at run time it reads "(none)". Writing it has no effect.
    QString SkinStore() const { return QStringLiteral("(none)"); }
    void SetSkinStore(const QString&) {}
    QString Version() const { return QStringLiteral("3.12.05.20"); }
    void SetVersion(const QString&) {}

    // The component has been made and its properties set (the form calls it
    // once its controls exist): registers with the skin manager and, for the
    // main-form component, installs the window hook and asks for the skin.
    void Loaded();
    bool IsLoaded() const { return loaded_; }

    const QFont& MenuFont() const { return menuFont_; }
    QPixmap SmallIcon(qreal scale) const override;
    const TSkinPictures* Pictures() const override { return pictures_.get(); }
    TSkinStyle* Style() override;

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

    bool SkinLoaded() const override { return data_.has_value(); }
    // The loaded skin's elements; null while no skin is loaded.
    const SkinData* Data() const { return data_ ? &*data_ : nullptr; }
    // The opened archive, for pictures the drawing engine looks up itself.
    const TSkinReader& Reader() const { return reader_; }

private:
    void TakeApplicationIcon();

    std::vector<std::uint8_t> storedSkin_;
    TSkinReader reader_;
    std::optional<SkinData> data_;  // empty: the no-skin state
    std::unique_ptr<TSkinPictures> pictures_;
    std::unique_ptr<TSkinStyle> style_;
    bool active_ = false;
    bool loaded_ = false;
    QString skinFile_;
    QFont menuFont_;
    // The application's icon, taken as the main form's component is loaded.
    bool iconTaken_ = false;
    QIcon appIcon_;
    mutable std::map<qreal, QPixmap> smallIcons_;  // by screen scale
};

// The settings the program gives its main window's Skin1.
TSkinControls ProgramSkinControls();

// The program's own skin as the SkinStream property of the main window's Skin1,
// embedded at build time.
QByteArray ProgramSkinStream();
