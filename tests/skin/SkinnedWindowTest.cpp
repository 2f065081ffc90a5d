// Skinning a window and giving it its own look back.
#include "SkinFixture.h"

#include "skin/SkinFrame.h"
#include "skin/SkinMessages.h"
#include "skin/SkinPictures.h"
#include "skin/SkinStyle.h"
#include "skin/SkinnedWindow.h"
#include "support/FakeWindowPositions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleFactory>
#include <QWindow>

namespace {

class RefusingButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    bool event(QEvent* event) override
    {
        if (event->type() == TSkinQueryEvent::Id)
            static_cast<TSkinQueryEvent*>(event)->Result = 1;
        return QPushButton::event(event);
    }
};

std::vector<int> Actions(const TSkinFrame& frame)
{
    std::vector<int> actions;
    for (const auto& button : frame.VisibleButtons())
        actions.push_back(button.Action);
    return actions;
}

} // namespace

using SkinnedWindow = SkinFixture;

TEST_F(SkinnedWindow, FrameGoesAroundTheUnchangedClientAreaAndComesOffExactly)
{
    LoadSkin();
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window.setFixedSize(716, 565);
    window.move(100, 120);
    auto* button = new QPushButton(QStringLiteral("OK"), &window);
    button->setGeometry(10, 20, 75, 25);
    auto* label = new QLabel(QStringLiteral("Name"), &window);
    label->move(10, 60);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(labelPalette);
    QStyle* ownStyle = QStyleFactory::create(QStringLiteral("Windows"));
    auto* edit = new QLineEdit(&window);
    edit->setStyle(ownStyle);
    edit->setGeometry(10, 90, 100, 21);

    const Qt::WindowFlags flags = window.windowFlags();
    const QRect geometry = window.geometry();
    const QPalette palette = window.palette();
    const QPalette labelBefore = label->palette();

    ASSERT_TRUE(Manager().SkinDecision(&window));
    const QMargins margins = skin->Pictures()->FrameMargins();
    EXPECT_EQ(margins, QMargins(4, 30, 4, 4));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.size(), QSize(716 + 8, 565 + 34));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.pos() + QPoint(4, 30), geometry.topLeft());  // the client stays in place
    EXPECT_EQ(button->geometry(), QRect(14, 50, 75, 25));
    EXPECT_EQ(button->style(), skin->Style());
    EXPECT_EQ(edit->style(), skin->Style());
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(238, 241, 245));
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));  // the caption's rounded corner
    EXPECT_TRUE(window.mask().contains(QPoint(360, 300)));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));

    Manager().UnskinWindow(&window);
    EXPECT_FALSE(Skinned(&window));
    EXPECT_EQ(window.windowFlags(), flags);
    EXPECT_EQ(window.geometry(), geometry);
    EXPECT_EQ(window.minimumSize(), QSize(716, 565));
    EXPECT_EQ(window.maximumSize(), QSize(716, 565));
    EXPECT_EQ(button->geometry(), QRect(10, 20, 75, 25));
    EXPECT_EQ(label->pos(), QPoint(10, 60));
    EXPECT_EQ(button->style(), QApplication::style());
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetStyle));
    EXPECT_EQ(edit->style(), ownStyle);
    EXPECT_EQ(window.palette(), palette);
    EXPECT_FALSE(window.testAttribute(Qt::WA_SetPalette));
    EXPECT_EQ(label->palette(), labelBefore);
    EXPECT_EQ(window.findChild<TSkinFrame*>(), nullptr);
    EXPECT_TRUE(window.mask().isEmpty());
    delete ownStyle;
}

TEST_F(SkinnedWindow, WindowWithALayoutMakesRoomForTheFrame)
{
    LoadSkin();
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Quillory"), QStringLiteral("添加成功."),
                                QMessageBox::Ok);
    windows.emplace_back(box);
    box->show();
    box->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(Skinned(box));  // message boxes are skinned when activated
    auto* ok = box->button(QMessageBox::Ok);
    const auto expectInsideFrame = [box](const QWidget* control) {
        const QRect client = box->rect().marginsRemoved(QMargins(4, 30, 4, 4));
        EXPECT_TRUE(client.contains(QRect(control->mapTo(box, QPoint()), control->size())))
            << control->objectName().toStdString();
    };
    expectInsideFrame(ok);
    // A layout the box builds anew while skinned (a new icon makes it) gets the room too.
    box->setIcon(QMessageBox::Warning);
    QApplication::processEvents();
    for (const char* name : {"qt_msgboxex_icon_label", "qt_msgbox_label"})
        expectInsideFrame(box->findChild<QWidget*>(QString::fromLatin1(name)));
    expectInsideFrame(ok);
    // A message box may only be closed from its caption.
    TSkinFrame* frame = Manager().SkinnedWindow(box)->Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Actions(*frame), std::vector<int>{0});
    EXPECT_GE(box->width(), frame->CaptionWidthNeeded());  // widened until "Quillory" fits

    // Its close button closes it.
    const QPoint close = frame->VisibleButtons().front().Place.center();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(close), QPointF(frame->mapToGlobal(close)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
    }
    EXPECT_FALSE(box->isVisible());
}

TEST_F(SkinnedWindow, MessageBoxComesBackToItsOwnSize)
{
    LoadSkin();
    Manager().SetActive(false);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillory"), QStringLiteral("OK"), QMessageBox::Ok);
    box.show();
    QApplication::processEvents();
    const QRect geometry = box.geometry();
    const QSize minimum = box.minimumSize(), maximum = box.maximumSize();
    Manager().SetActive(true);
    ASSERT_TRUE(Manager().SkinDecision(&box));
    EXPECT_GT(box.width(), geometry.width());
    Manager().UnskinWindow(&box);
    EXPECT_EQ(box.geometry(), geometry);
    EXPECT_EQ(box.minimumSize(), minimum);
    EXPECT_EQ(box.maximumSize(), maximum);
}

TEST_F(SkinnedWindow, CaptionButtonsFollowTheWindowsFlags)
{
    LoadSkin();
    QWidget fixed;  // like the main and login windows: a caption, no buttons
    fixed.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    fixed.resize(100, 100);
    ASSERT_TRUE(Manager().SkinDecision(&fixed));
    EXPECT_TRUE(Actions(*Manager().SkinnedWindow(&fixed)->Frame()).empty());

    QWidget plain;
    plain.resize(100, 100);
    ASSERT_TRUE(Manager().SkinDecision(&plain));
    auto actions = Actions(*Manager().SkinnedWindow(&plain)->Frame());
    std::sort(actions.begin(), actions.end());
    EXPECT_EQ(actions, (std::vector<int>{0, 1, 3, 4}));  // close, maximise, minimise, menu; restore once maximised
}

TEST_F(SkinnedWindow, TaggedAndRefusingControlsKeepTheSystemLook)
{
    LoadSkin();
    QWidget window;
    window.resize(200, 100);
    auto* normal = new QPushButton(&window);
    auto* tagged = new QPushButton(&window);
    tagged->setProperty("Tag", 99);
    auto* inTagged = new QPushButton(tagged);
    auto* refusing = new RefusingButton(&window);
    ASSERT_TRUE(Manager().SkinDecision(&window));
    EXPECT_EQ(normal->style(), skin->Style());
    EXPECT_EQ(tagged->style(), QApplication::style());
    EXPECT_EQ(inTagged->style(), QApplication::style());
    EXPECT_EQ(refusing->style(), QApplication::style());
    EXPECT_EQ(tagged->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));

    // Controls made later follow their window.
    auto* later = new QPushButton(&window);
    later->ensurePolished();
    EXPECT_EQ(later->style(), skin->Style());
    auto* laterInTagged = new QPushButton(tagged);
    laterInTagged->ensurePolished();
    EXPECT_EQ(laterInTagged->style(), QApplication::style());
}

TEST_F(SkinnedWindow, ComboListsWearTheSkinOfTheirWindow)
{
    LoadSkin();
    QWidget window;
    window.resize(200, 100);
    auto* early = new QComboBox(&window);
    early->addItems({QStringLiteral("网站帐号"), QStringLiteral("论坛帐号")});
    early->view();  // its list exists before the window is skinned
    ASSERT_TRUE(Manager().SkinDecision(&window));
    EXPECT_EQ(early->view()->style(), skin->Style());

    auto* late = new QComboBox(&window);
    late->addItems({QStringLiteral("邮箱帐号")});
    late->show();
    late->showPopup();
    QApplication::processEvents();
    EXPECT_EQ(late->view()->style(), skin->Style());
    late->hidePopup();
    Manager().UnskinWindow(&window);
    EXPECT_EQ(early->view()->style(), QApplication::style());
}

TEST_F(SkinnedWindow, CaptionMovesTheWindowAndAClosedWindowIsDropped)
{
    LoadSkin();
    auto* window = ShowWindow();
    ASSERT_TRUE(Skinned(window));
    TSkinFrame* frame = Manager().SkinnedWindow(window)->Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->CaptionRect(), QRect(0, 0, window->width(), 30));
    EXPECT_EQ(frame->mask().boundingRect(), window->rect());
    EXPECT_FALSE(frame->mask().contains(QPoint(window->width() / 2, window->height() / 2)));

    const QPoint start = window->pos();
    const QPoint grab(60, 12);
    const auto send = [frame](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(frame->mapToGlobal(local)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(30, 20), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::NoButton);
    if (!window->windowHandle() || window->pos() != start) {  // a system move leaves it to the desktop
        EXPECT_EQ(window->pos(), start + QPoint(30, 20));
    }

    windows.clear();  // the window goes away while skinned
    Manager().DropClosedWindows();
    EXPECT_EQ(Manager().SkinnedWindowCount(), 0);
}

// Without the desktop's frame Qt may lose track of where the window is: while
// skinned, the window is placed where the window system says at each showing.
TEST_F(SkinnedWindow, FramelessWindowIsWhereTheWindowSystemHasIt)
{
    FakeWindowPositions windowSystem;
    LoadSkin();
    auto* window = ShowWindow();
    ASSERT_TRUE(Skinned(window));
    windowSystem.positions[window->windowHandle()] = QPoint(357, 290);
    const auto showAgain = [window] {
        window->hide();
        window->show();
        QApplication::processEvents();
    };
    showAgain();
    EXPECT_EQ(window->mapToGlobal(QPoint(0, 0)), QPoint(357, 290));

    Manager().SetActive(false);
    Manager().UnskinWindow(window);  // the desktop's frame is back, and its notices with it
    const int asked = windowSystem.questions;
    showAgain();
    EXPECT_EQ(windowSystem.questions, asked);
}
