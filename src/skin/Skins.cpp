#include "skin/Skins.h"

#include "runtime/Dialogs.h"
#include "skin/format/SkinIni.h"
#include "skin/format/SkinVocabulary.h"
#include "skin/Skin3rd.h"
#include "skin/SkinManager.h"
#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"

#include <QApplication>
#include <QBitmap>
#include <QFile>
#include <QFileInfo>
#include <QStyle>
#include <QWidget>

namespace {

constexpr int kSwitchDelayMs = 250;
// Action codes of the skin manager.
constexpr int kActionSkin = 1;
constexpr int kActionUnskin = 2;
constexpr int kActionRefresh = 3;

} // namespace

TSkin::TSkin(QObject* owner) : TSkinComponent(owner) {}

TSkin::~TSkin()
{
    if (TSkinManager* manager = TSkinManager::Instance())
        manager->RemoveComponent(this);
}

TSkinControls ProgramSkinControls()
{
    return {xcMainMenu, xcPopupMenu, xcToolbar,  xcControlbar,  xcCombo, xcCheckBox,  xcRadioButton,
            xcProgress, xcScrollbar, xcEdit,     xcButton,      xcBitBtn, xcSpeedButton, xcSpin,
            xcPanel,    xcGroupBox,  xcStatusBar, xcTab,        xcTrackBar, xcSystemMenu};
}

TSkinStyle* TSkin::Style()
{
    if (!style_)
        style_ = std::make_unique<TSkinStyle>(*this);
    return style_.get();
}

void TSkin::SetActive(bool value)
{
    if (!loaded_) {
        active_ = value;
        return;
    }
    if (value == active_)
        return;
    active_ = value;
    TSkinManager* manager = TSkinManager::Instance();
    if (!manager)
        return;
    if (SkinFormtype == sfMainform) {
        if (value && SkinLoaded()) {
            manager->RequestAction(kActionSkin, kSwitchDelayMs, this);
            manager->CountStart();
        } else if (!value) {
            manager->RequestAction(kActionUnskin, kSwitchDelayMs, this);
        }
    } else if (SkinFormtype == sfOnlyThisForm) {
        if (value && SkinLoaded())
            manager->RequestAction(kActionSkin, kSwitchDelayMs, this);
        else if (!value)
            manager->RequestAction(kActionUnskin, kSwitchDelayMs, this);
    }
}

void TSkin::SetSkinFile(const QString& fileName)
{
    skinFile_ = fileName;
    if (!loaded_ || fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    // A file that is no stored skin changes nothing: the skin worn so far stays.
    std::vector<std::uint8_t> previous = std::move(storedSkin_);
    storedSkin_.assign(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                       reinterpret_cast<const std::uint8_t*>(bytes.constData()) + bytes.size());
    if (!LoadSkin()) {
        storedSkin_ = std::move(previous);
        if (!storedSkin_.empty())
            LoadSkin();
        return;
    }
    TSkinManager* manager = TSkinManager::Instance();
    if (manager && manager->Started() > 0)
        manager->RequestAction(kActionRefresh, kSwitchDelayMs, this);
}

void TSkin::Loaded()
{
    if (loaded_)
        return;
    // Qt always offers what the scroll-bar skinning needs, so xcScrollbar stays.
    TSkinManager& manager = TSkinManager::Ensure();
    manager.AddComponent(this);
    menuFont_ = QApplication::font("QMenu");
    loaded_ = true;

    if (SkinFormtype != sfMainform) {
        manager.SetActive(true);
        manager.CountStart();
        if (QWidget* form = OwnerForm(); form && active_)
            manager.SkinDecision(form);
        return;
    }
    manager.InstallHook();
    if (active_) {
        if (!SkinLoaded())
            active_ = false;
        else
            manager.RequestAction(kActionSkin, kSwitchDelayMs, this);
    }
    if (SkinControls.Contains(xcMainMenu))
        SkinControls.Exclude(xcMenuItem);
    else
        SkinControls.Exclude(xcSystemMenu);
    TakeApplicationIcon();
}

void TSkin::TakeApplicationIcon()
{
    appIcon_ = QApplication::windowIcon();
    if (appIcon_.isNull())
        if (QWidget* form = OwnerForm())
            appIcon_ = form->windowIcon();
    smallIcons_.clear();
    iconTaken_ = true;
}

QPixmap TSkin::SmallIcon(qreal scale) const
{
    if (!iconTaken_)
        return {};
    if (const auto built = smallIcons_.find(scale); built != smallIcons_.end())
        return built->second;
    const int size = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int pixels = qRound(size * scale);
    // Each pixel is either the icon's, fully opaque, or magenta: edges blended
    // half into magenta would show a pink fringe once magenta is cut away. On a
    // screen of scale 2 the icon is drawn from its 2x picture, not stretched.
    const QRgb magenta = qRgb(255, 0, 255);
    QImage picture(pixels, pixels, QImage::Format_RGB32);
    picture.fill(magenta);
    if (!appIcon_.isNull()) {
        const QImage drawn =
            appIcon_.pixmap(QSize(size, size), scale).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < std::min(pixels, drawn.height()); ++y)
            for (int x = 0; x < std::min(pixels, drawn.width()); ++x)
                if (const QRgb pixel = drawn.pixel(x, y); qAlpha(pixel) >= 128)
                    picture.setPixel(x, y, qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
    }
    QPixmap result = QPixmap::fromImage(picture);
    result.setMask(result.createMaskFromColor(QColor(magenta), Qt::MaskInColor));
    result.setDevicePixelRatio(scale);
    return smallIcons_.emplace(scale, result).first->second;
}

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
    pictures_.reset();
    data_.reset();
    if (!reader_.Open(storedSkin_)) {
        if (reader_.OlderFormat())
            ShowMessage(QStringLiteral("This is Older Skin File\rPlease update to new version !"));
        return false;
    }
    const auto description = reader_.FindByPart(".ini");
    if (!description)
        return false;
    TFastIni ini;
    ini.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(description->bytes.data()),
                                       description->bytes.size()));
    data_ = ReadSkinData(ini, reader_);
    pictures_ = std::make_unique<TSkinPictures>(*data_);
    return true;
}

QByteArray ProgramSkinStream()
{
    QFile file(QStringLiteral(":/skin/Skin1.SkinStream"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
