#include "skin/Skins.h"

#include "skin/SkinIni.h"
#include "skin/SkinVocabulary.h"

#include <QFile>

TSkin::TSkin(QObject* owner) : QObject(owner) {}

bool TSkin::ReadSkinStream(std::span<const std::uint8_t> property)
{
    if (property.size() < 4)
        return false;
    const auto length = static_cast<std::int32_t>(std::uint32_t{property[0]} | std::uint32_t{property[1]} << 8 |
                                                  std::uint32_t{property[2]} << 16 | std::uint32_t{property[3]} << 24);
    if (length <= 0 || static_cast<std::size_t>(length) > property.size() - 4)
        return false;
    const auto stored = property.subspan(4, static_cast<std::size_t>(length));
    storedSkin_.assign(stored.begin(), stored.end());
    return LoadSkin();
}

std::vector<std::uint8_t> TSkin::WriteSkinStream() const
{
    const auto length = static_cast<std::uint32_t>(storedSkin_.size());
    std::vector<std::uint8_t> property(4 + storedSkin_.size());
    for (int i = 0; i < 4; ++i)
        property[i] = static_cast<std::uint8_t>(length >> (8 * i));
    std::copy(storedSkin_.begin(), storedSkin_.end(), property.begin() + 4);
    return property;
}

bool TSkin::LoadSkin()
{
    data_.reset();
    if (!reader_.Open(storedSkin_))
        return false;
    const auto description = reader_.FindByPart(".ini");
    if (!description)
        return false;
    TFastIni ini;
    ini.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(description->bytes.data()),
                                       description->bytes.size()));
    data_ = ReadSkinData(ini, reader_);
    return true;
}

QByteArray ProgramSkinStream()
{
    QFile file(QStringLiteral(":/skin/Skin1.SkinStream"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
