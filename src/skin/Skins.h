#pragma once

#include "skin/SkinData.h"
#include "skin/SkinReader.h"

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The skin component: holds one stored skin (its SkinStream property) and the
// skin's elements once loaded. The skin manager, the window selection and the
// drawing build on it.
class TSkin : public QObject {
    Q_OBJECT
public:
    explicit TSkin(QObject* owner = nullptr);

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
    std::vector<std::uint8_t> storedSkin_;
    TSkinReader reader_;
    std::optional<SkinData> data_;  // empty: the no-skin state
};

// The program's own skin as the SkinStream property of the main window's Skin1,
// embedded at build time.
QByteArray ProgramSkinStream();
