// The record's contact actions and the links to the maker's pages: what each
// control hands to the desktop shell.
#include "MainWindowFixture.h"

#include "forms/Unit1.h"
#include "ui/ClickLabel.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kVersionQuery = QStringLiteral("/?qq=Kestrelle1.0.2010.0425");
const QString kHomePage = QStringLiteral("http://www.brightmoor.example") + kVersionQuery;
const QString kForumPage = QStringLiteral("http://bbs.brightmoor.example") + kVersionQuery;

class LinksTest : public MainWindowFixture {
protected:
    void SetUp() override { StartWith({}); }

    QStringList OpenedBy(const std::function<void()>& action)
    {
        shell.opened.clear();
        action();
        return shell.opened;
    }
    std::function<void()> ClickLabel(const char* name)
    {
        return [this, name] { QTest::mouseClick(Control<TClickLabel>(name), Qt::LeftButton); };
    }
    std::function<void()> ClickButton(const char* name)
    {
        return [this, name] { Press(name); };
    }
};

} // namespace

TEST_F(LinksTest, RecordActionsHandTheBoxTextOnUnchangedAndDoNothingWhenItIsEmpty)
{
    for (const char* button : {"Button5", "Button6", "Button8"})
        EXPECT_TRUE(OpenedBy(ClickButton(button)).isEmpty()) << button;

    form1->Edit_WangZhi->setText(QStringLiteral("www.site.example"));
    form1->Edit_YouXiang->setText(QStringLiteral("a@b.example; c@d.example "));
    form1->Edit_QQ->setText(QStringLiteral("12ab 3"));
    EXPECT_EQ(OpenedBy(ClickButton("Button5")), QStringList{"www.site.example"});
    EXPECT_EQ(OpenedBy(ClickButton("Button6")), QStringList{"mailto:a@b.example; c@d.example "});
    EXPECT_EQ(OpenedBy(ClickButton("Button8")),
              QStringList{"http://wpa.qq.com/msgrd?V=1&Uin=12ab 3&Site=www.brightmoor.example&Menu=yes"});
    EXPECT_TRUE(messageBoxes.texts().isEmpty());
}

TEST_F(LinksTest, UpdateCheckWebButtonAndBannerOpenTheHomePage)
{
    EXPECT_EQ(OpenedBy([this] { form1->Aboutme->trigger(); }), QStringList{kHomePage});
    EXPECT_EQ(OpenedBy(ClickButton("ButtonWEB")), QStringList{kHomePage});
    EXPECT_EQ(OpenedBy(ClickLabel("Image2")), QStringList{kHomePage});
    EXPECT_EQ(OpenedBy(ClickLabel("Label26")), QStringList{kHomePage});
}

TEST_F(LinksTest, BothSiteAndForumLabelsOpenTheForum)
{
    EXPECT_TRUE(form1->Label12->text().startsWith(QStringLiteral("官方网站 ")));
    EXPECT_TRUE(form1->Label13->text().startsWith(QStringLiteral("官方论坛 ")));
    EXPECT_EQ(OpenedBy(ClickLabel("Label12")), QStringList{kForumPage});
    EXPECT_EQ(OpenedBy(ClickLabel("Label13")), QStringList{kForumPage});
}

TEST_F(LinksTest, TheOtherSiteLabelsOpenDistinctPagesOfTheMaker)
{
    QStringList pages;
    for (const char* label : {"Label23", "Label24", "Label25", "Label27"}) {
        const QStringList opened = OpenedBy(ClickLabel(label));
        ASSERT_EQ(opened.size(), 1) << label;
        EXPECT_TRUE(opened[0].startsWith(QStringLiteral("http://"))) << label;
        EXPECT_TRUE(opened[0].endsWith(kVersionQuery)) << label;
        pages << opened[0];
    }
    pages << kHomePage;
    pages.removeDuplicates();
    EXPECT_EQ(pages.size(), 5);
}
