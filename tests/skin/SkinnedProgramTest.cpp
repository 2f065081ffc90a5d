// The program's own windows wearing the skin: the client areas keep their size
// inside the frame, and switching the skin off gives the design's geometry back.
#include "SkinFixture.h"

#include "app/Unit1.h"
#include "security/Unit_Login.h"
#include "skin/SkinFrame.h"
#include "skin/SkinnedWindow.h"
#include "support/ProgramFixture.h"

#include <QTabWidget>

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
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(SkinnedProgram, MainWindowKeepsItsClientAreaInsideTheFrame)
{
    const QPoint pagesAt = form1->PageControl1->pos();
    ShowActive(form1.get());
    TSkinManager* manager = TSkinManager::Instance();
    ASSERT_NE(manager, nullptr);
    ASSERT_NE(manager->SkinnedWindow(form1.get()), nullptr);
    EXPECT_EQ(form1->size(), QSize(716 + 8, 565 + 34));
    EXPECT_EQ(form1->PageControl1->pos(), pagesAt + QPoint(4, 30));
    EXPECT_TRUE(manager->SkinnedWindow(form1.get())->Frame()->VisibleButtons().empty());

    form1->Skin1->SetActive(false);
    ASSERT_TRUE(WaitUntil([&] { return manager->SkinnedWindow(form1.get()) == nullptr; }));
    EXPECT_EQ(form1->size(), QSize(716, 565));
    EXPECT_EQ(form1->PageControl1->pos(), pagesAt);
    EXPECT_FALSE(form1->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(SkinnedProgram, LoginWindowWearsTheSkinWithoutCaptionButtons)
{
    ShowActive(form2.get());
    TSkinManager* manager = TSkinManager::Instance();
    ASSERT_NE(manager->SkinnedWindow(form2.get()), nullptr);
    EXPECT_EQ(form2->size(), QSize(294 + 8, 161 + 34));
    EXPECT_TRUE(manager->SkinnedWindow(form2.get())->Frame()->VisibleButtons().empty());
}
