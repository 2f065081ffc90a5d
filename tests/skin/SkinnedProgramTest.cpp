// The program's own windows wearing the skin: the client areas keep their size
// inside the frame, switching the skin off gives the design's geometry back,
// and each window appears once, already skinned.
#include "SkinFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/QtMessageBox.h"
#include "skin/SkinFrame.h"
#include "skin/SkinnedWindow.h"
#include "skin/SkinPictures.h"
#include "support/ProgramFixture.h"

#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

namespace {

class SkinnedProgram : public ProgramFixture {
protected:
    SkinnedProgram()
    {
        TSkinManager::DestroyInstance();
        DeliverDatabase(QStringLiteral("pw2010"));
        StartProgram();
    }
    ~SkinnedProgram() override
    {
        EndProgram();
        TSkinManager::DestroyInstance();
    }

    static void ShowActive(QWidget* window)
    {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    std::unique_ptr<QMessageBox> box;
};

// How a window looked when its native window was shown (Qt shows that after
// the widget's own show event, just before the desktop maps it).
class FirstSight : public QObject {
public:
    explicit FirstSight(QWidget* window) : window_(window) { QApplication::instance()->installEventFilter(this); }

    bool seen = false;
    bool skinned = false;
    QSize size;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen && event->type() == QEvent::Show && watched->isWindowType() && watched == window_->windowHandle()) {
            seen = true;
            skinned = TSkinManager::Instance()->SkinnedWindow(window_) != nullptr;
            size = window_->size();
        }
        return false;
    }

private:
    QWidget* window_;
};

// The main window (form 1), the login window (form 2) or a message box.
struct ProgramWindow {
    const char* name;
    int form;
    platform::MessageBoxRequest box;
};

void PrintTo(const ProgramWindow& window, std::ostream* out)
{
    *out << window.name;
}

class ProgramWindowAppears : public SkinnedProgram, public ::testing::WithParamInterface<ProgramWindow> {
protected:
    QWidget* Window()
    {
        if (GetParam().form == 1)
            return form1.get();
        if (GetParam().form == 2)
            return form2.get();
        box = platform::CreateMessageBox(GetParam().box);
        return box.get();
    }
};

} // namespace

// The window is skinned before it is mapped, so it appears once at its final
// size; and whatever the window rebuilds for the skin's style (a message box
// with an icon rebuilds its layout), its controls lie inside the client area.
TEST_P(ProgramWindowAppears, OnceSkinnedWithItsControlsInsideTheFrame)
{
    QWidget* window = Window();
    FirstSight sight(window);
    window->show();
    QApplication::processEvents();

    ASSERT_TRUE(sight.seen);
    EXPECT_TRUE(sight.skinned);
    EXPECT_EQ(sight.size, window->size());
    TSkinManager* manager = TSkinManager::Instance();
    ASSERT_NE(manager->SkinnedWindow(window), nullptr);
    const QRect client = window->rect().marginsRemoved(manager->SkinnedWindow(window)->FrameMargins());
    EXPECT_EQ(client.topLeft(), QPoint(4, 30));
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isHidden() || qobject_cast<TSkinFrame*>(control))
            continue;
        EXPECT_TRUE(client.contains(control->geometry())) << control->objectName().toStdString() << " at "
                                                          << control->x() << "," << control->y();
    }
    if (const QLayout* layout = window->layout()) {
        EXPECT_GE(window->height(), layout->totalMinimumSize().height());  // not clipped
    }
    if (GetParam().form == 0) {  // a message box still centres itself, frame and all
        const QPoint offCentre = window->geometry().center() - window->screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ProgramWindowAppears,
    ::testing::Values(ProgramWindow{"MainWindow", 1, {}}, ProgramWindow{"LoginWindow", 2, {}},
                      ProgramWindow{"Confirmation", 0,
                                    {QStringLiteral("您真的要删除数据库中所有的记录吗?"), QStringLiteral("警告"),
                                     platform::MessageButtons::YesNo, platform::MessageIcon::Warning, true}},
                      ProgramWindow{"Message", 0, {QStringLiteral("添加成功."), QStringLiteral("Quillory")}}),
    [](const ::testing::TestParamInfo<ProgramWindow>& info) { return std::string(info.param.name); });
