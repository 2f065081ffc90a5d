#include "TrayFixture.h"

#include "platform/system/CodePage.h"

#include <QPixmap>

#include <cstring>
#include <memory>
#include <string>

using namespace platform;

namespace {

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(color);
    return QIcon(pixmap);
}

std::string tipBytes(const NotifyIconData& data)
{
    return std::string(data.tip.data(), strnlen(data.tip.data(), data.tip.size()));
}

} // namespace

TEST_F(TrayFixture, TheIconRecordNamesTheSharedWindowTheComponentAndTheCallback)
{
    tray->SetHint(QStringLiteral("Quillory"));
    tray->SetIconVisible(true);
    const NotifyIconData* icon = shown();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size, 488u);
    EXPECT_EQ(icon->window, SharedTrayHandler()->Handle());
    EXPECT_EQ(icon->id, reinterpret_cast<std::uintptr_t>(tray.get()));
    EXPECT_EQ(icon->flags, 7u);
    EXPECT_EQ(icon->callbackMessage, 0x800u);
    EXPECT_EQ(tipBytes(*icon), "Quillory");
    EXPECT_TRUE(tray->IconVisible());
}

// A notification area whose host draws menus itself (a D-Bus tray) shows the
// menu the right button would pop up: none without one or without its
// automatic popup, and none once the menu is gone.
TEST_F(TrayFixture, TheRecordOffersTheRightButtonsMenuToHostsThatDrawMenus)
{
    tray->SetIconVisible(true);
    EXPECT_EQ(shown()->menu, nullptr);
    auto menu = std::make_unique<TPopupMenu>();
    tray->PopupMenu = menu.get();
    tray->UpdateTrayIcon();
    EXPECT_EQ(shown()->menu, menu.get());
    menu->AutoPopup = false;
    tray->UpdateTrayIcon();
    EXPECT_EQ(shown()->menu, nullptr);
    menu->AutoPopup = true;
    tray->UpdateTrayIcon();
    menu.reset();
    EXPECT_EQ(shown()->menu, nullptr);
    tray->UpdateTrayIcon();
    EXPECT_EQ(shown()->menu, nullptr);
}

TEST_F(TrayFixture, AddingTwiceAddsOnceAndTheSecondAddFailsHarmlessly)
{
    EXPECT_TRUE(tray->AddTrayIcon());
    EXPECT_FALSE(tray->AddTrayIcon());
    tray->SetIconVisible(true);
    EXPECT_EQ(area.iconCount(), 1u);
    EXPECT_EQ(area.callCount(NIM_ADD), 3u);
    EXPECT_TRUE(tray->IconVisible());

    tray->SetIconVisible(false);
    EXPECT_EQ(area.iconCount(), 0u);
    EXPECT_FALSE(tray->RemoveTrayIcon());
}

TEST_F(TrayFixture, TheTooltipIsCutTo127BytesAtACharacterBoundary)
{
    tray->SetIconVisible(true);
    tray->SetHint(QString(200, QLatin1Char('a')));
    EXPECT_EQ(tipBytes(*shown()), std::string(127, 'a'));

    // 64 two-byte characters: the 64th would end at byte 128, so 63 are kept
    // rather than leaving half a character at the end.
    const QString chinese = QString(64, QChar(0x901A));
    tray->SetHint(chinese);
    EXPECT_EQ(tipBytes(*shown()).size(), 126u);
    EXPECT_EQ(shown()->tipText(), QString(63, QChar(0x901A)));

    tray->SetHint(QStringLiteral("a") + chinese);
    EXPECT_EQ(tipBytes(*shown()).size(), 127u);
    EXPECT_EQ(shown()->tipText(), QStringLiteral("a") + QString(63, QChar(0x901A)));
}

TEST_F(TrayFixture, AnEmptyHintOrShowHintFalseGivesAZeroTip)
{
    tray->SetIconVisible(true);
    tray->SetHint(QStringLiteral("Quillory"));
    tray->SetShowHint(false);
    EXPECT_EQ(shown()->tip, (std::array<char, 128>{}));
    tray->SetShowHint(true);
    tray->SetHint(QString());
    EXPECT_EQ(shown()->tip, (std::array<char, 128>{}));
}

TEST_F(TrayFixture, TheIconComesBackAfterTheAreaRestartsOnlyWhileWanted)
{
    tray->SetIcon(solidIcon(Qt::green));
    tray->SetHint(QStringLiteral("Quillory"));
    tray->SetIconVisible(true);
    area.restart();
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(tipBytes(*shown()), "Quillory");
    EXPECT_EQ(shown()->icon.cacheKey(), tray->Icon().cacheKey());

    tray->SetIconVisible(false);
    area.restart();
    EXPECT_EQ(shown(), nullptr);
}

TEST_F(TrayFixture, AnIconWantedWhileTheAreaIsAbsentAppearsWhenItComes)
{
    area.shutDown();
    tray->SetIconVisible(true);
    EXPECT_EQ(shown(), nullptr);
    EXPECT_TRUE(tray->IconVisible());
    area.restart();
    EXPECT_NE(shown(), nullptr);
}

TEST_F(TrayFixture, LoadedShowsAWantedIconAndSetsTheClassicVersion)
{
    tray->SetIconVisible(true);
    area.clearCalls();
    tray->Loaded();
    EXPECT_EQ(area.iconCount(), 1u);
    ASSERT_EQ(area.callCount(NIM_SETVERSION), 1u);
    EXPECT_EQ(area.calls().back().message, NIM_SETVERSION);
    EXPECT_EQ(area.calls().back().data.version, 0u);
}

TEST_F(TrayFixture, DestructionRemovesTheIconAndTheLastReleasesTheSharedWindow)
{
    auto second = std::make_unique<TTrayIcon>(nullptr);
    const WindowHandle window = SharedTrayHandler()->Handle();
    EXPECT_EQ(SharedTrayHandler()->RefCount(), 2u);
    tray->SetIconVisible(true);
    second->SetIconVisible(true);
    const auto firstId = reinterpret_cast<std::uintptr_t>(tray.get());
    tray.reset();
    EXPECT_EQ(area.icon(firstId), nullptr);
    EXPECT_EQ(area.iconCount(), 1u);
    // A late notification for the destroyed icon is dropped.
    SendMessage(window, 0x800, firstId, WM_LBUTTONDOWN);
    second.reset();
    EXPECT_EQ(SharedTrayHandler(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(clock.count(), 0u);
}

TEST_F(TrayFixture, TheHandlerWindowRefusesToCloseAndAgreesToLogOff)
{
    const WindowHandle window = SharedTrayHandler()->Handle();
    for (unsigned msg : {WM_DESTROY, WM_CLOSE, WM_QUERYENDSESSION, WM_QUIT, WM_ENDSESSION, WM_NCDESTROY})
        EXPECT_EQ(SendMessage(window, msg), 1) << msg;
    EXPECT_EQ(SendMessage(window, 0x0001), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(TrayFixture, CyclingShowsEachImageInTurnAndReportsTheNextIndex)
{
    TImageList list;
    const QIcon images[] = {solidIcon(Qt::red), solidIcon(Qt::green), solidIcon(Qt::blue)};
    for (const QIcon& image : images)
        list.Add(image);
    std::vector<int> reported;
    std::vector<int> indices;
    tray->OnCycle = [&](QObject*, int next) { reported.push_back(next); };
    tray->SetIconVisible(true);
    tray->SetIconList(&list);
    tray->SetIconIndex(2);
    tray->SetCycleInterval(100);
    tray->SetCycleIcons(true);
    indices.push_back(tray->IconIndex());
    for (int tick = 0; tick < 4; ++tick) {
        clock.advance(100);
        indices.push_back(tray->IconIndex());
        EXPECT_EQ(shown()->icon.cacheKey(), images[tray->IconIndex()].cacheKey());
    }
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 0, 1}));

    tray->SetCycleIcons(false);
    clock.advance(1000);
    EXPECT_EQ(reported.size(), 4u);
}

TEST_F(TrayFixture, IconIndexIsKeptWithinTheList)
{
    TImageList list;
    list.Add(solidIcon(Qt::red));
    list.Add(solidIcon(Qt::green));
    tray->SetIconIndex(5);
    EXPECT_EQ(tray->IconIndex(), 0);  // no list yet
    tray->SetIconList(&list);
    tray->SetIconIndex(5);
    EXPECT_EQ(tray->IconIndex(), 1);
    EXPECT_EQ(tray->Icon().cacheKey(), list.GetIcon(1).cacheKey());
    tray->SetIconIndex(-3);
    EXPECT_EQ(tray->IconIndex(), 0);

    TImageList empty;
    tray->SetIconList(&empty);
    tray->SetIconIndex(1);
    EXPECT_EQ(tray->IconIndex(), 0);
}

TEST_F(TrayFixture, DestroyingTheImageListClearsTheReference)
{
    auto list = std::make_unique<TImageList>();
    list->Add(solidIcon(Qt::red));
    list->Add(solidIcon(Qt::green));
    tray->SetIconList(list.get());
    tray->SetIconIndex(1);
    tray->SetCycleInterval(50);
    tray->SetCycleIcons(true);
    list.reset();
    EXPECT_EQ(tray->IconList(), nullptr);
    EXPECT_EQ(tray->IconIndex(), 0);
    clock.advance(200);  // cycling without a list does nothing
}
