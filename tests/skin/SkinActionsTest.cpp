// The component's load sequence and the manager's deferred actions.
#include "SkinFixture.h"

#include "skin/SkinnedWindow.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

using SkinActions = SkinFixture;

TEST_F(SkinActions, LoadedComponentRegistersAndAsksForTheSkin)
{
    LoadSkin();
    ASSERT_NE(TSkinManager::Instance(), nullptr);
    EXPECT_TRUE(Manager().HookInstalled());
    EXPECT_EQ(Manager().MainComponent(), skin);
    // Not started yet: the request only sets the active flag.
    EXPECT_TRUE(Manager().Active());
    EXPECT_FALSE(Manager().ActionTimer().isActive());
    EXPECT_EQ(Manager().PendingAction(), 1);
    EXPECT_EQ(Manager().ActionTimer().interval(), 250);
    EXPECT_TRUE(skin->Active());
}

TEST_F(SkinActions, MainMenuKindDecidesBetweenMenuItemAndSystemMenu)
{
    skin->SkinControls = TSkin::DefaultSkinControls();
    skin->SkinControls.Include(xcMenuItem);
    LoadSkin();
    EXPECT_FALSE(skin->SkinControls.Contains(xcMenuItem));
    EXPECT_TRUE(skin->SkinControls.Contains(xcSystemMenu));

    QWidget form;
    auto* noMainMenu = new TSkin(&form);
    noMainMenu->SkinControls = {xcPopupMenu, xcMenuItem, xcSystemMenu};
    noMainMenu->Loaded();
    EXPECT_TRUE(noMainMenu->SkinControls.Contains(xcMenuItem));
    EXPECT_FALSE(noMainMenu->SkinControls.Contains(xcSystemMenu));
}

// The title bar's icon is opaque or transparent pixel by pixel, and on a
// screen of scale 2 it is the icon's own 32-pixel picture, not the 16-pixel
// one stretched.
TEST_F(SkinActions, SmallIconIsTransparentWhereTheIconIsNotAtEachScale)
{
    QIcon icon;
    for (const auto& [size, colour] : {std::pair{16, Qt::darkGreen}, std::pair{32, Qt::darkBlue}}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.fillRect(size / 4, size / 4, size / 2, size / 2, colour);
        painter.end();
        icon.addPixmap(picture);
    }
    EXPECT_TRUE(skin->SmallIcon(1).isNull());  // before the component is loaded
    QApplication::setWindowIcon(icon);
    LoadSkin();
    QApplication::setWindowIcon(QIcon());
    for (const auto& [scale, colour] : {std::pair{1, Qt::darkGreen}, std::pair{2, Qt::darkBlue}}) {
        SCOPED_TRACE(scale);
        const QPixmap small = skin->SmallIcon(scale);
        EXPECT_EQ(small.deviceIndependentSize(), QSizeF(16, 16));
        const QImage picture = small.toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(picture.size(), QSize(16, 16) * scale);
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
        EXPECT_EQ(picture.pixel(8 * scale, 8 * scale), QColor(colour).rgba());
    }
}

TEST_F(SkinActions, StoredSkinThatDoesNotLoadLeavesActiveFalse)
{
    const QByteArray broken("\x08\x00\x00\x00notaskin", 12);
    EXPECT_FALSE(skin->ReadSkinStream(broken));
    LoadSkin(false);
    EXPECT_FALSE(skin->Active());
    auto* window = ShowWindow();
    ProcessEventsFor(300);
    EXPECT_FALSE(Skinned(window));
    EXPECT_EQ(Manager().SkinnedWindowCount(), 0);
}

TEST_F(SkinActions, SwitchingOffAndOnActsAQuarterSecondLaterForEveryWindow)
{
    LoadSkin();
    auto* first = ShowWindow();
    auto* second = ShowWindow();
    ASSERT_TRUE(Skinned(first) && Skinned(second));

    std::vector<int> skinnedWhenChanged;
    skin->OnSkinChanged = [&](QObject* sender) {
        EXPECT_EQ(sender, skin);
        skinnedWhenChanged.push_back(Manager().SkinnedWindowCount());
    };
    skin->SetActive(false);
    EXPECT_FALSE(skin->Active());
    EXPECT_EQ(Manager().ActionTimer().interval(), 250);
    EXPECT_TRUE(Manager().ActionTimer().isActive());
    QApplication::processEvents();
    EXPECT_TRUE(Skinned(first) && Skinned(second));  // not yet
    ASSERT_TRUE(WaitUntil([&] { return !skinnedWhenChanged.empty(); }));
    EXPECT_EQ(skinnedWhenChanged, std::vector<int>{0});  // both in the same tick
    EXPECT_FALSE(Manager().Active());
    EXPECT_EQ(Manager().PendingComponent(), nullptr);

    skin->SetActive(true);
    EXPECT_FALSE(Skinned(first));
    ASSERT_TRUE(WaitUntil([&] { return skinnedWhenChanged.size() == 2; }));
    EXPECT_EQ(skinnedWhenChanged.back(), 2);
    EXPECT_TRUE(Skinned(first) && Skinned(second));
}

TEST_F(SkinActions, HiddenFormsAreNotSkinnedBySwitchingOn)
{
    LoadSkin();
    auto* shown = ShowWindow();
    auto* hidden = ShowWindow();
    skin->SetActive(false);
    ASSERT_TRUE(WaitUntil([&] { return !Manager().Active(); }));
    hidden->hide();
    skin->SetActive(true);
    ASSERT_TRUE(WaitUntil([&] { return Skinned(shown); }));
    EXPECT_FALSE(Skinned(hidden));
}

TEST_F(SkinActions, ReskinActionSkinsTheRememberedWindowAfresh)
{
    LoadSkin();
    auto* window = ShowWindow();
    TSkinnedWindow* before = Manager().SkinnedWindow(window);
    ASSERT_NE(before, nullptr);
    int changed = 0;
    skin->OnSkinChanged = [&](QObject*) { ++changed; };
    Manager().RequestReskin(window, 10, skin);
    ASSERT_TRUE(WaitUntil([&] { return !Manager().ActionTimer().isActive(); }));
    EXPECT_TRUE(Skinned(window));
    EXPECT_EQ(Manager().SkinnedWindowCount(), 1);
    EXPECT_EQ(changed, 0);  // action 7 fires no change
}

TEST_F(SkinActions, SkinFileLoadsAStoredSkinAndRefreshesTheWindows)
{
    LoadSkin();
    auto* window = ShowWindow();
    ASSERT_TRUE(Skinned(window));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("other.skn"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const auto& stored = skin->StoredSkin();
        file.write(reinterpret_cast<const char*>(stored.data()), static_cast<qint64>(stored.size()));
    }
    int changed = 0;
    skin->OnSkinChanged = [&](QObject*) { ++changed; };
    skin->SetSkinFile(folder.filePath(QStringLiteral("missing.skn")));
    EXPECT_TRUE(skin->SkinLoaded());
    EXPECT_FALSE(Manager().ActionTimer().isActive());

    const QString junk = folder.filePath(QStringLiteral("junk.skn"));
    {
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a stored skin");
    }
    const auto storedBefore = skin->StoredSkin();
    skin->SetSkinFile(junk);
    EXPECT_TRUE(skin->SkinLoaded());  // the skin worn so far stays
    EXPECT_EQ(skin->StoredSkin(), storedBefore);
    EXPECT_FALSE(Manager().ActionTimer().isActive());

    skin->SetSkinFile(path);
    EXPECT_TRUE(skin->SkinLoaded());
    EXPECT_EQ(Manager().PendingAction(), 3);
    ASSERT_TRUE(WaitUntil([&] { return changed == 1; }));
    EXPECT_TRUE(Skinned(window));
    EXPECT_EQ(window->size(), QSize(240, 160) + QSize(8, 34));
}

TEST_F(SkinActions, PublishedSettingsOfANewComponent)
{
    TSkin fresh;
    EXPECT_FALSE(fresh.Active());
    EXPECT_EQ(fresh.DisableTag, 99);
    EXPECT_EQ(fresh.SkinFormtype, sfMainform);
    EXPECT_EQ(fresh.Version(), QStringLiteral("3.12.05.20"));
    fresh.SetVersion(QStringLiteral("1.0"));
    EXPECT_EQ(fresh.Version(), QStringLiteral("3.12.05.20"));
    EXPECT_EQ(fresh.SkinStore(), QStringLiteral("(none)"));
    EXPECT_TRUE(fresh.MenuUpdate);
    EXPECT_FALSE(fresh.MenuMerge);
    EXPECT_TRUE(fresh.SkinFile().isEmpty());
    EXPECT_EQ(fresh.Options, (TSkinOptions{xoPreview, xoToolbarBK, xoCaptionButtonHint}));
    EXPECT_FALSE(fresh.SkinControls.Contains(xcMenuItem));
    EXPECT_FALSE(fresh.SkinControls.Contains(xcFastReport));
    EXPECT_TRUE(fresh.SkinControls.Contains(xcSystemMenu));
    EXPECT_FALSE(ProgramSkinControls().Contains(xcMenuItem));
    EXPECT_FALSE(fresh.Skin3rd.isEmpty());
}
