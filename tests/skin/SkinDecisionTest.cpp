// The skin decision, one rule at a time, and the choice of component.
#include "SkinFixture.h"

#include "skin/SkinMessages.h"
#include "skin/SkinnedWindow.h"

#include <QCalendarWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

namespace {

// Answers the skin query with 1.
class RefusingWindow : public QWidget {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == TSkinQueryEvent::Id)
            static_cast<TSkinQueryEvent*>(event)->Result = 1;
        return QWidget::event(event);
    }
};

// Records the notice the manager posts after skinning.
class NoticedWindow : public QWidget {
public:
    int notices = 0;
    long long lastLParam = 0;
    bool event(QEvent* event) override
    {
        if (event->type() == TSkinNoticeEvent::Id) {
            ++notices;
            lastLParam = static_cast<TSkinNoticeEvent*>(event)->LParam;
        }
        return QWidget::event(event);
    }
};

class TPrintPreview : public QWidget {
    Q_OBJECT
};

} // namespace

using SkinDecision = SkinFixture;

TEST_F(SkinDecision, ActiveWindowsWearTheSkinAndGetTheNotice)
{
    LoadSkin();
    auto* window = ShowWindow<NoticedWindow>();
    EXPECT_TRUE(Skinned(window));
    EXPECT_EQ(Manager().Started(), 1);
    ASSERT_TRUE(WaitUntil([&] { return window->notices == 1; }));
    EXPECT_EQ(window->lastLParam, 1000);
    // Activating it again neither skins it twice nor posts again.
    EXPECT_FALSE(Manager().SkinDecision(window));
    QApplication::processEvents();
    EXPECT_EQ(window->notices, 1);
}

TEST_F(SkinDecision, FormTag99AndARefusalKeepTheSystemLook)
{
    LoadSkin();
    auto* tagged = ShowWindow();
    Manager().UnskinWindow(tagged);
    tagged->setProperty("Tag", 99);
    EXPECT_FALSE(Manager().SkinDecision(tagged));
    tagged->setProperty("Tag", 98);
    EXPECT_TRUE(Manager().SkinDecision(tagged));

    auto* refusing = ShowWindow<RefusingWindow>();
    EXPECT_FALSE(Skinned(refusing));
    EXPECT_TRUE(RefusesSkin(refusing));
}

TEST_F(SkinDecision, WindowWithAnEmptyRectangleIsLeftAlone)
{
    LoadSkin();
    QWidget empty;
    empty.resize(0, 0);
    ASSERT_TRUE(empty.rect().isEmpty());
    EXPECT_FALSE(Manager().SkinDecision(&empty));
    empty.resize(10, 10);
    EXPECT_TRUE(Manager().SkinDecision(&empty));
}

// A tray icon's window, embedded by the notification area without the window
// manager, keeps its size and place: framed by the skin, the host lost it.
TEST_F(SkinDecision, WindowPlacedWithoutTheWindowManagerIsLeftAlone)
{
    LoadSkin();
    QWidget icon(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    icon.resize(22, 22);
    icon.show();
    QApplication::processEvents();
    EXPECT_FALSE(Skinned(&icon));
    EXPECT_EQ(icon.size(), QSize(22, 22));
}

TEST_F(SkinDecision, ChildOfAnMdiAreaOnlyWithTheRuleWaived)
{
    LoadSkin();
    QMdiArea area;
    area.resize(400, 300);
    auto* loose = new QWidget(area.viewport());
    loose->resize(50, 50);
    EXPECT_FALSE(Manager().SkinDecision(loose));
    EXPECT_TRUE(Manager().SkinDecision(loose, true));

    // A real MDI child is skinned when it is made, and gets no frame of its own.
    auto* child = area.addSubWindow(new QWidget);
    child->resize(120, 80);
    child->show();
    QApplication::processEvents();
    ASSERT_TRUE(Skinned(child));
    EXPECT_EQ(Manager().SkinnedWindow(child)->Frame(), nullptr);
}

TEST_F(SkinDecision, CalendarOnlyWhenOnFormSkinSaysSo)
{
    LoadSkin();
    auto* calendar = ShowWindow<QCalendarWidget>(QSize(300, 200));
    EXPECT_FALSE(Skinned(calendar));

    QString asked;
    skin->OnFormSkin = [&asked](QObject*, const QString& className, bool& wanted) {
        asked = className;
        wanted = true;
    };
    EXPECT_TRUE(Manager().SkinDecision(calendar));
    EXPECT_EQ(asked, QStringLiteral("SysMonthCal32"));
}

TEST_F(SkinDecision, FilterHasTheLastWordThroughOnFormSkin)
{
    LoadSkin();
    skin->OnFormSkin = [](QObject*, const QString& className, bool& wanted) {
        if (className == QLatin1String("QWidget"))
            wanted = false;
    };
    EXPECT_FALSE(Skinned(ShowWindow()));
}

TEST_F(SkinDecision, PreviewWindowsOnlyWithThePreviewOption)
{
    LoadSkin();
    TPrintPreview preview;
    preview.resize(100, 100);
    skin->Options.Exclude(xoPreview);
    EXPECT_FALSE(Manager().SkinDecision(&preview));
    skin->Options.Include(xoPreview);
    EXPECT_TRUE(Manager().SkinDecision(&preview));
}

TEST_F(SkinDecision, StandardDialogWithStyleBit0x200IsLeftAlone)
{
    LoadSkin();
    QMessageBox box;
    box.resize(200, 100);
    box.setProperty("Style", 0x200);
    EXPECT_FALSE(Manager().SkinDecision(&box));
    box.setProperty("Style", 0);
    EXPECT_TRUE(Manager().SkinDecision(&box));
    Manager().UnskinWindow(&box);
}

TEST_F(SkinDecision, NothingWhileInactiveOrWithoutASkin)
{
    LoadSkin(false);
    EXPECT_FALSE(skin->Active());
    auto* window = ShowWindow();
    EXPECT_FALSE(Skinned(window));
    Manager().SetActive(true);
    EXPECT_FALSE(Manager().SkinDecision(window));  // the chosen component has no skin
}

TEST_F(SkinDecision, ComponentIsChosenByFormAndByWindowClass)
{
    LoadSkin();
    QWidget ownForm;
    auto* onlyThis = new TSkin(&ownForm);
    onlyThis->SkinFormtype = sfOnlyThisForm;
    auto* dialogs = new TSkin(&ownForm);
    dialogs->SkinFormtype = sfDialog;
    Manager().AddComponent(onlyThis);
    Manager().AddComponent(dialogs);
    QWidget other;
    EXPECT_EQ(Manager().ChooseComponent(&ownForm, QStringLiteral("QWidget")), onlyThis);
    EXPECT_EQ(Manager().ChooseComponent(&other, QStringLiteral("#32770")), dialogs);
    EXPECT_EQ(Manager().ChooseComponent(&other, QStringLiteral("TMessageForm")), dialogs);
    EXPECT_EQ(Manager().ChooseComponent(&other, QStringLiteral("QWidget")), skin);
    EXPECT_EQ(Manager().MainComponent(), skin);
}

#include "SkinDecisionTest.moc"
