// The main window as laid out: every named control with its kind, place and
// size, the window's frame, the tab order and the colours of its labels.
#include "MainWindowFixture.h"

#include "desktop/PopupMenu.h"
#include "forms/Unit1.h"
#include "skin/SkinManager.h"
#include "skin/SkinnedWindow.h"
#include "skin/Skins.h"
#include "ui/ClickLabel.h"
#include "ui/StatusBar.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cstdlib>
#include <utility>

namespace {

constexpr int kOwnHeight = -1;  // edit boxes and lists take their height (21) from the font
constexpr int kOwnSize = -2;    // labels size themselves to their caption

struct Placed {
    const char* name;
    const QMetaObject* kind;
    QRect place;  // in the parent's client area
};

QRect At(int left, int top, int width = kOwnSize, int height = kOwnSize)
{
    return {left, top, width, height};
}

const QMetaObject* const Button = &QPushButton::staticMetaObject;
const QMetaObject* const Label = &QLabel::staticMetaObject;
const QMetaObject* const Link = &TClickLabel::staticMetaObject;
const QMetaObject* const Edit = &QLineEdit::staticMetaObject;
const QMetaObject* const List = &QComboBox::staticMetaObject;
const QMetaObject* const Group = &QGroupBox::staticMetaObject;
const QMetaObject* const Memo = &QPlainTextEdit::staticMetaObject;

const Placed kControls[] = {
    {"Image2", Link, At(0, 0, 716, 56)},
    {"PageControl1", &QTabWidget::staticMetaObject, At(0, 56, 716, 449)},
    {"Button_CheckLogin", Button, At(312, 512, 75, 25)},
    {"ButtonWEB", Button, At(472, 510, 75, 25)},
    {"Button4", Button, At(556, 510, 75, 25)},
    {"Button_HIde", Button, At(640, 510, 75, 25)},
    {"StatusBar1", &TStatusBar::staticMetaObject, At(0, 542, 716, 23)},
    // records page
    {"GroupBox1", Group, At(0, 0, 708, 421)},
    {"ComboBoxSeachClass", List, At(8, 13, 65, kOwnHeight)},
    {"searchkeyword", Edit, At(80, 15, 217, kOwnHeight)},
    {"Button_Search", Button, At(300, 13, 53, 23)},
    {"Label16", Label, At(360, 18)},
    {"ComboBoxClass", List, At(431, 14, 138, kOwnHeight)},
    {"Button_First", Button, At(576, 14, 20, 20)},
    {"Button_Prior", Button, At(600, 14, 20, 20)},
    {"Button_Next", Button, At(625, 14, 20, 20)},
    {"Button_Last", Button, At(650, 14, 20, 20)},
    {"Button_Refresh", Button, At(676, 14, 20, 20)},
    {"DBGrid1", &QTableView::staticMetaObject, At(2, 40, 704, 172)},
    {"GroupBox4", Group, At(2, 212, 704, 207)},
    {"Edit_FenLei", List, At(40, 12, 164, kOwnHeight)},
    {"Button_Edit_FenLei_add", Button, At(204, 11, 20, 20)},
    {"Button_Edit_FenLei_Del", Button, At(224, 11, 20, 20)},
    {"Edit_XingMing", Edit, At(40, 36, 163, kOwnHeight)},
    {"Edit_QQ", Edit, At(40, 60, 163, kOwnHeight)},
    {"Button8", Button, At(205, 60, 43, 20)},
    {"Edit_ShouJi", Edit, At(40, 84, 163, kOwnHeight)},
    {"Edit_DianHua", Edit, At(40, 108, 163, kOwnHeight)},
    {"Edit_ChuanZhen", Edit, At(40, 132, 163, kOwnHeight)},
    {"Edit_YouXiang", Edit, At(40, 156, 163, kOwnHeight)},
    {"Button6", Button, At(206, 156, 43, 20)},
    {"Edit_WangZhi", Edit, At(40, 180, 163, kOwnHeight)},
    {"Button5", Button, At(206, 180, 43, 20)},
    {"Label5", Label, At(256, 12)},
    {"Memo_BeiZhu", Memo, At(286, 13, 331, 188)},
    {"Button1", Button, At(632, 24, 57, 25)},
    {"Button2", Button, At(632, 64, 57, 25)},
    {"Button3", Button, At(632, 104, 57, 25)},
    // settings page
    {"GroupBox3", Group, At(0, 0, 708, 125)},
    {"Label8", Label, At(8, 32)},
    {"Edit_Pass_A", Edit, At(78, 28, 121, kOwnHeight)},
    {"Label9", Label, At(20, 64)},
    {"Edit_Pass_B", Edit, At(78, 60, 121, kOwnHeight)},
    {"Button7", Button, At(240, 26, 75, 25)},
    {"Button_PassCleal", Button, At(240, 58, 75, 25)},
    {"Label17", Label, At(8, 96)},
    {"GroupBox6", Group, At(0, 125, 708, 56)},
    {"Button11", Button, At(8, 19, 88, 25)},
    {"Label21", Label, At(112, 24)},
    {"GroupBox5", Group, At(0, 181, 708, 60)},
    {"Button9", Button, At(8, 21, 89, 25)},
    {"Label18", Label, At(112, 27)},
    // about page
    {"Image1", Label, At(24, 24, 185, 177)},
    {"Label10", Label, At(264, 24)},
    {"Label11", Label, At(264, 56)},
    {"EditVer", Edit, At(337, 54, 121, kOwnHeight)},
    {"Label12", Link, At(264, 90)},
    {"Label13", Link, At(264, 122)},
    {"Label14", Label, At(265, 153)},
    {"Label15", Label, At(265, 187)},
    {"Memo1", Memo, At(24, 208, 497, 111)},
    {"Label23", Link, At(64, 336)},
    {"Label24", Link, At(152, 336)},
    {"Label25", Link, At(240, 336)},
    {"Label26", Link, At(328, 336)},
    {"Label27", Link, At(416, 336)},
};

// Captions of buttons and labels, texts of edit boxes, titles of group boxes.
const std::pair<const char*, const char*> kTexts[] = {
    {"Button_CheckLogin", "Button_CheckLogin"}, {"ButtonWEB", "Brightmoor"}, {"Button4", "退出"},
    {"Button_HIde", "最小化"}, {"Button_Search", "搜索"}, {"Button_First", "<|"}, {"Button_Prior", "<"},
    {"Button_Next", ">"}, {"Button_Last", "|>"}, {"Button_Refresh", "刷"}, {"Button_Edit_FenLei_add", "+"},
    {"Button_Edit_FenLei_Del", "-"}, {"Button8", "聊天"}, {"Button6", "发信"}, {"Button5", "访问"},
    {"Button1", "添加"}, {"Button2", "修改"}, {"Button3", "删除"}, {"Button_ClearAllEdit", "清空表单"},
    {"Button7", "确定"}, {"Button_PassCleal", "重置"}, {"Button11", "压缩修复"}, {"Button9", "清空数据"},
    {"Label16", "按分类查看"}, {"Label6", "分类"}, {"Label1", "姓名"}, {"Label4", "QQ"}, {"Label3", "手机"},
    {"Label2", "电话"}, {"Label22", "传真"}, {"Label28", "邮箱"}, {"Label29", "主页"}, {"Label5", "备注"},
    {"Label8", "请输入密码"}, {"Label9", "确认密码"}, {"Label17", "密码可以是全数字/全字母/数字+字母组合"},
    {"Label21", "压缩数据库"}, {"Label18", "该操作将清空数据库中所有数据,请慎用."},
    {"Label10", "软件名称 Quillory"}, {"Label11", "当前版本"}, {"Label26", "Brightmoor网"},
    {"searchkeyword", "请输入搜索关键词"}, {"EditVer", "1.0.2010.0425"}, {"GroupBox3", "设置密码"},
    {"GroupBox6", "常用操作"}, {"GroupBox5", "特殊操作"}, {"GroupBox1", ""}, {"GroupBox4", ""}, {"GroupBox2", ""},
};

class LayoutTest : public MainWindowFixture {
protected:
    void SetUp() override { StartWith({}); }

    // The skin draws its frame and caption inside the window, around the client area.
    QMargins SkinFrame() const
    {
        const TSkinManager* skins = TSkinManager::Instance();
        const TSkinnedWindow* skinned = skins ? skins->SkinnedWindow(form1.get()) : nullptr;
        return skinned ? skinned->FrameMargins() : QMargins();
    }
    QRect ClientArea() const
    {
        return form1->rect().marginsRemoved(SkinFrame());
    }

    // Whether the label's caption is drawn in this colour (anti-aliased edges aside).
    static bool DrawnIn(QLabel* label, const QColor& colour)
    {
        const QImage image = label->grab().toImage();
        int inColour = 0;
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green())
                        + std::abs(pixel.blue() - colour.blue()) < 90)
                    ++inColour;
                else if (pixel.red() < 60 && pixel.green() < 60 && pixel.blue() < 60)
                    ++dark;
            }
        return inColour > 0 && dark == 0;
    }
};

} // namespace

TEST_F(LayoutTest, EveryControlHasItsNameKindPlaceAndSize)
{
    for (const Placed& expected : kControls) {
        SCOPED_TRACE(expected.name);
        auto* control = form1->findChild<QWidget*>(QString::fromLatin1(expected.name));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->metaObject()->inherits(expected.kind)) << control->metaObject()->className();
        QRect place = control->geometry();
        // The skin's frame moves the controls drawn in the window; hidden state
        // controls are never drawn and keep their place as given.
        if (control->parentWidget() == form1.get() && !control->isWindow())
            place.translate(-ClientArea().topLeft());
        EXPECT_EQ(place.topLeft(), expected.place.topLeft());
        if (expected.place.width() == kOwnSize)
            continue;
        EXPECT_EQ(place.width(), expected.place.width());
        EXPECT_EQ(place.height(), expected.place.height() == kOwnHeight ? 21 : expected.place.height());
    }
}

TEST_F(LayoutTest, EveryCaptionAndTextIsAsWritten)
{
    for (const auto& [name, text] : kTexts) {
        const QWidget* control = Control<QWidget>(name);
        ASSERT_NE(control, nullptr);
        const char* property = qobject_cast<const QGroupBox*>(control) ? "title" : "text";
        EXPECT_EQ(control->property(property).toString(), QString::fromUtf8(text)) << name;
    }
    EXPECT_EQ(form1->Memo1->toPlainText(), QStringLiteral("更新说明:\n1.加入了快捷键自动输入帐号和密码的功能"));
    EXPECT_TRUE(form1->EditVer->isReadOnly());
    EXPECT_EQ(form1->ComboBoxSeachClass->currentText(), QStringLiteral("姓名"));
    QStringList fields;
    for (int i = 0; i < form1->ComboBoxSeachClass->count(); ++i)
        fields << form1->ComboBoxSeachClass->itemText(i);
    EXPECT_EQ(fields, (QStringList{"姓名", "QQ", "手机", "电话", "邮箱", "主页", "备注"}));
}

TEST_F(LayoutTest, FixedClientAreaWithoutCaptionButtonsCentredWithThreePages)
{
    EXPECT_EQ(ClientArea().size(), QSize(716, 565));
    EXPECT_EQ(form1->minimumSize(), form1->maximumSize());
    const Qt::WindowFlags flags = form1->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    for (const Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                                        Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint})
        EXPECT_FALSE(flags.testFlag(button)) << button;
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Quillory"));
    // Centred up to the frame, whose width the desktop decides once the window is shown.
    const QPoint offCentre = ClientArea().translated(form1->geometry().topLeft()).center()
        - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 8) << offCentre.x() << "," << offCentre.y();

    const QTabWidget* pages = form1->PageControl1;
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("通讯录管理"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("软件设置"));
    EXPECT_EQ(pages->tabText(2), QStringLiteral("关于我们"));
    EXPECT_EQ(pages->currentIndex(), 0);
}

TEST_F(LayoutTest, HiddenControlsStayHiddenAndThePanelsHaveTheirWidths)
{
    for (const char* name : {"Button_CheckLogin", "Edit_BianHao", "Button_ClearAllEdit"})
        EXPECT_TRUE(Control<QWidget>(name)->isHidden()) << name;
    EXPECT_TRUE(form1->Edit_BianHao->isReadOnly());
    EXPECT_EQ(Control<QLabel>("Panel0")->width(), 300);
    EXPECT_EQ(Control<QLabel>("Panel1")->width(), 50);
    EXPECT_GE(Control<QLabel>("Panel2")->width(), 150);
}

TEST_F(LayoutTest, TabRunsThroughTheEditorInItsOrderAlsoOutOfTheMemos)
{
    // 电话 comes before 手机 although 手机 stands above it; the hidden controls
    // between them are passed over; Tab in a memo moves on, on the about page too.
    const QStringList editor{"Edit_FenLei", "Button_Edit_FenLei_add", "Button_Edit_FenLei_Del", "Edit_XingMing",
                             "Edit_QQ", "Edit_DianHua", "Edit_ShouJi", "Edit_ChuanZhen", "Edit_YouXiang",
                             "Edit_WangZhi", "Memo_BeiZhu", "Button1", "Button2", "Button3", "Button5", "Button6",
                             "Button8"};
    auto tabFrom = [](QWidget* first, qsizetype steps) {
        first->setFocus();
        QStringList visited;
        for (QWidget* focused = first; visited.size() < steps; focused = QApplication::focusWidget()) {
            while (focused->objectName().isEmpty())  // a list's own edit box has no name
                focused = focused->parentWidget();
            visited << focused->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return visited;
    };
    EXPECT_EQ(tabFrom(form1->Edit_FenLei, editor.size()), editor);
    form1->PageControl1->setCurrentIndex(2);
    tabFrom(form1->Memo1, 1);
    EXPECT_NE(QApplication::focusWidget(), form1->Memo1);
    EXPECT_FALSE(form1->Memo_BeiZhu->toPlainText().contains(u'\t') || form1->Memo1->toPlainText().contains(u'\t'));
}

TEST_F(LayoutTest, ScreenReadersNameEveryEditorFieldAfterItsLabel)
{
    const std::pair<QWidget*, const char*> fields[] = {
        {form1->Edit_FenLei, "分类"},    {form1->Edit_XingMing, "姓名"},  {form1->Edit_QQ, "QQ"},
        {form1->Edit_ShouJi, "手机"},    {form1->Edit_DianHua, "电话"},   {form1->Edit_ChuanZhen, "传真"},
        {form1->Edit_YouXiang, "邮箱"},  {form1->Edit_WangZhi, "主页"},   {form1->Memo_BeiZhu, "备注"}};
    for (const auto& [field, label] : fields)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name), QString::fromUtf8(label))
            << field->objectName().toStdString();
}

TEST_F(LayoutTest, FieldLabelsAreDrawnInBlueTheWarningInRedAndSiteLinksInGreen)
{
    for (const char* name : {"Label6", "Label1", "Label4", "Label3", "Label2", "Label22", "Label28", "Label29", "Label5"})
        EXPECT_TRUE(DrawnIn(Control<QLabel>(name), Qt::blue)) << name;
    form1->PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(DrawnIn(form1->Label18, Qt::red));
    form1->PageControl1->setCurrentIndex(2);
    for (const char* name : {"Label23", "Label24", "Label25", "Label26", "Label27"})
        EXPECT_TRUE(DrawnIn(Control<QLabel>(name), QColor(0, 128, 0))) << name;
}

TEST_F(LayoutTest, TheTrayMenuHasItsSixItemsInOrder)
{
    QStringList items;
    for (const QAction* item : form1->PopupMenu1->actions())
        items << item->objectName() + QLatin1Char('=') + (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(items, (QStringList{"Aboutme=检测更新", "N2=-", "ShowME=显示窗口", "HideME=隐藏窗口", "N1=-",
                                  "CloseMe=退出程序"}));
}
