// Builds the main window's controls: every control under its name, with its
// caption, place and size in client pixels, its flags and its tab order.
#include "forms/Unit1.h"

#include "desktop/PopupMenu.h"

#include "ui/ClickLabel.h"
#include "ui/EditableList.h"
#include "ui/FormBuilding.h"
#include "ui/Links.h"
#include "ui/Pictures.h"
#include "ui/StateControl.h"
#include "ui/StatusBar.h"
#include "ui/WindowFont.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <utility>

namespace {

constexpr int kClientWidth = 716;
constexpr int kClientHeight = 565;
constexpr int kFieldHeight = 21;  // edit boxes and drop-down lists take it from the font

template <class Label = QLabel>
Label* makeLabel(QWidget* parent, const char* name, const QString& caption, QPoint position)
{
    auto* label = named(new Label(caption, parent), name);
    label->move(position);
    label->adjustSize();
    return label;
}

QLineEdit* makeField(QWidget* parent, const char* name, int left, int top, int width, const QString& text = {})
{
    return makeEdit(parent, name, {left, top, width, kFieldHeight}, text);
}

QComboBox* makeList(QWidget* parent, const char* name, int left, int top, int width, const QStringList& items)
{
    return makeEditableList(parent, name, {left, top, width, kFieldHeight}, items);
}

QPlainTextEdit* makeMemo(QWidget* parent, const char* name, QRect geometry, const QStringList& lines)
{
    auto* memo = named(new QPlainTextEdit(parent), name);
    memo->setGeometry(geometry);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next control, as in every other box; a memo takes
    // line breaks, not tabs.
    memo->setTabChangesFocus(true);
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    return memo;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* group = named(new QGroupBox(caption, parent), name);
    group->setGeometry(geometry);
    return group;
}

void colourText(QWidget* widget, const QColor& colour)
{
    // Without a role of its own a label draws in the role that goes with its
    // background, inherited from the window's button face: ButtonText, not
    // WindowText. Pin it, so the colour set here is the one drawn.
    widget->setForegroundRole(QPalette::WindowText);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void chainTabOrder(std::initializer_list<QWidget*> order)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace

void TForm1::CreateControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillory"));
    setWindowIcon(WindowIcon());
    setFont(WindowFont());
    // Fixed single border without any caption button; the window is not resizable.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    centreOnDesktop(this);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // --- banner, pages, bottom row, status bar ----------------------------------------
    Image2 = named(new TClickLabel(this), "Image2");
    Image2->setGeometry(0, 0, kClientWidth, 56);
    ShowScaledPicture(Image2, BannerPicture());
    Image2->setCursor(Qt::WhatsThisCursor);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->setGeometry(0, 56, kClientWidth, 449);
    TabSheet1 = named(new QWidget, "TabSheet1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    TabSheet3 = named(new QWidget, "TabSheet3");
    PageControl1->addTab(TabSheet1, QStringLiteral("通讯录管理"));
    PageControl1->addTab(TabSheet2, QStringLiteral("软件设置"));
    PageControl1->addTab(TabSheet3, QStringLiteral("关于我们"));
    PageControl1->setCurrentIndex(0);

    Button_CheckLogin = makeButton(this, "Button_CheckLogin", QStringLiteral("Button_CheckLogin"), {312, 512, 75, 25});
    ButtonWEB = makeButton(this, "ButtonWEB", QStringLiteral("Brightmoor"), {472, 510, 75, 25});
    Button4 = makeButton(this, "Button4", QStringLiteral("退出"), {556, 510, 75, 25});
    Button_HIde = makeButton(this, "Button_HIde", QStringLiteral("最小化"), {640, 510, 75, 25});

    StatusBar1 = named(new TStatusBar({300, 50, 150}, this), "StatusBar1");
    StatusBar1->setGeometry(0, kClientHeight - TStatusBar::Height, kClientWidth, TStatusBar::Height);
    StatusBar1->SetPanelText(2, QStringLiteral("BrightmoorQQ群:") + links::kGroupNumber);

    // --- page "通讯录管理": browsing bar, grid, editor -------------------------------------
    GroupBox1 = makeGroup(TabSheet1, "GroupBox1", QString(), {0, 0, 708, 421});
    ComboBoxSeachClass = makeList(GroupBox1, "ComboBoxSeachClass", 8, 13, 65,
        {QStringLiteral("姓名"), QStringLiteral("QQ"), QStringLiteral("手机"), QStringLiteral("电话"),
         QStringLiteral("邮箱"), QStringLiteral("主页"), QStringLiteral("备注")});
    ComboBoxSeachClass->setCurrentText(QStringLiteral("姓名"));
    searchkeyword = makeField(GroupBox1, "searchkeyword", 80, 15, 217, QStringLiteral("请输入搜索关键词"));
    Button_Search = makeButton(GroupBox1, "Button_Search", QStringLiteral("搜索"), {300, 13, 53, 23});
    Label16 = makeLabel(GroupBox1, "Label16", QStringLiteral("按分类查看"), {360, 18});
    ComboBoxClass = makeList(GroupBox1, "ComboBoxClass", 431, 14, 138, {});
    ComboBoxClass->setCurrentText(QString());
    Button_First = makeButton(GroupBox1, "Button_First", QStringLiteral("<|"), {576, 14, 20, 20});
    Button_Prior = makeButton(GroupBox1, "Button_Prior", QStringLiteral("<"), {600, 14, 20, 20});
    Button_Next = makeButton(GroupBox1, "Button_Next", QStringLiteral(">"), {625, 14, 20, 20});
    Button_Last = makeButton(GroupBox1, "Button_Last", QStringLiteral("|>"), {650, 14, 20, 20});
    Button_Refresh = makeButton(GroupBox1, "Button_Refresh", QStringLiteral("刷"), {676, 14, 20, 20});

    DBGrid1 = named(new QTableView(GroupBox1), "DBGrid1");
    DBGrid1->setGeometry(2, 40, 704, 172);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setShowGrid(true);
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setFont(WindowFont());
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setFixedWidth(12);
    DBGrid1->verticalHeader()->setHighlightSections(false);

    GroupBox4 = makeGroup(GroupBox1, "GroupBox4", QString(), {2, 212, 704, 207});
    const QColor fieldLabel(Qt::blue);
    auto editorLabel = [&](const char* name, const QString& caption, int left, int top) {
        QLabel* label = makeLabel(GroupBox4, name, caption, {left, top + 4});
        colourText(label, fieldLabel);
        return label;
    };
    Label6 = editorLabel("Label6", QStringLiteral("分类"), 12, 12);
    Edit_FenLei = makeList(GroupBox4, "Edit_FenLei", 40, 12, 164,
        {QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"), QStringLiteral("邮箱帐号"),
         QStringLiteral("QQ帐号"), QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")});
    Edit_FenLei->setCurrentText(QString());
    Button_Edit_FenLei_add = makeButton(GroupBox4, "Button_Edit_FenLei_add", QStringLiteral("+"), {204, 11, 20, 20});
    Button_Edit_FenLei_Del = makeButton(GroupBox4, "Button_Edit_FenLei_Del", QStringLiteral("-"), {224, 11, 20, 20});
    Label1 = editorLabel("Label1", QStringLiteral("姓名"), 12, 36);
    Edit_XingMing = makeField(GroupBox4, "Edit_XingMing", 40, 36, 163);
    Label4 = editorLabel("Label4", QStringLiteral("QQ"), 12, 60);
    Edit_QQ = makeField(GroupBox4, "Edit_QQ", 40, 60, 163);
    Button8 = makeButton(GroupBox4, "Button8", QStringLiteral("聊天"), {205, 60, 43, 20});
    Label3 = editorLabel("Label3", QStringLiteral("手机"), 12, 84);
    Edit_ShouJi = makeField(GroupBox4, "Edit_ShouJi", 40, 84, 163);
    Label2 = editorLabel("Label2", QStringLiteral("电话"), 12, 108);
    Edit_DianHua = makeField(GroupBox4, "Edit_DianHua", 40, 108, 163);
    Label22 = editorLabel("Label22", QStringLiteral("传真"), 12, 132);
    Edit_ChuanZhen = makeField(GroupBox4, "Edit_ChuanZhen", 40, 132, 163);
    Label28 = editorLabel("Label28", QStringLiteral("邮箱"), 12, 156);
    Edit_YouXiang = makeField(GroupBox4, "Edit_YouXiang", 40, 156, 163);
    Button6 = makeButton(GroupBox4, "Button6", QStringLiteral("发信"), {206, 156, 43, 20});
    Label29 = editorLabel("Label29", QStringLiteral("主页"), 12, 180);
    Edit_WangZhi = makeField(GroupBox4, "Edit_WangZhi", 40, 180, 163);
    Button5 = makeButton(GroupBox4, "Button5", QStringLiteral("访问"), {206, 180, 43, 20});
    Label5 = makeLabel(GroupBox4, "Label5", QStringLiteral("备注"), {256, 12});
    colourText(Label5, fieldLabel);
    Memo_BeiZhu = makeMemo(GroupBox4, "Memo_BeiZhu", {286, 13, 331, 188}, {});
    Button1 = makeButton(GroupBox4, "Button1", QStringLiteral("添加"), {632, 24, 57, 25});
    Button2 = makeButton(GroupBox4, "Button2", QStringLiteral("修改"), {632, 64, 57, 25});
    Button3 = makeButton(GroupBox4, "Button3", QStringLiteral("删除"), {632, 104, 57, 25});
    Edit_BianHao = makeField(GroupBox4, "Edit_BianHao", 0, 0, 40);
    Edit_BianHao->setReadOnly(true);
    Button_ClearAllEdit = makeButton(GroupBox4, "Button_ClearAllEdit", QStringLiteral("清空表单"), {0, 0, 75, 25});
    // Screen readers name each field of the editor after the label beside it.
    const std::pair<QLabel*, QWidget*> editorFields[] = {
        {Label6, Edit_FenLei},     {Label1, Edit_XingMing}, {Label4, Edit_QQ},
        {Label3, Edit_ShouJi},     {Label2, Edit_DianHua},  {Label22, Edit_ChuanZhen},
        {Label28, Edit_YouXiang}, {Label29, Edit_WangZhi},  {Label5, Memo_BeiZhu}};
    for (const auto& [label, field] : editorFields)
        label->setBuddy(field);

    // --- page "软件设置" -------------------------------------------------------------------
    GroupBox3 = makeGroup(TabSheet2, "GroupBox3", QStringLiteral("设置密码"), {0, 0, 708, 125});
    Label8 = makeLabel(GroupBox3, "Label8", QStringLiteral("请输入密码"), {8, 32});
    Edit_Pass_A = makeField(GroupBox3, "Edit_Pass_A", 78, 28, 121);
    Label9 = makeLabel(GroupBox3, "Label9", QStringLiteral("确认密码"), {20, 64});
    Edit_Pass_B = makeField(GroupBox3, "Edit_Pass_B", 78, 60, 121);
    // Screen readers name each box after its own label, not both after the group.
    Label8->setBuddy(Edit_Pass_A);
    Label9->setBuddy(Edit_Pass_B);
    Button7 = makeButton(GroupBox3, "Button7", QStringLiteral("确定"), {240, 26, 75, 25});
    Button_PassCleal = makeButton(GroupBox3, "Button_PassCleal", QStringLiteral("重置"), {240, 58, 75, 25});
    Label17 = makeLabel(GroupBox3, "Label17", QStringLiteral("密码可以是全数字/全字母/数字+字母组合"), {8, 96});
    GroupBox6 = makeGroup(TabSheet2, "GroupBox6", QStringLiteral("常用操作"), {0, 125, 708, 56});
    Button11 = makeButton(GroupBox6, "Button11", QStringLiteral("压缩修复"), {8, 19, 88, 25});
    Label21 = makeLabel(GroupBox6, "Label21", QStringLiteral("压缩数据库"), {112, 24});
    GroupBox5 = makeGroup(TabSheet2, "GroupBox5", QStringLiteral("特殊操作"), {0, 181, 708, 60});
    Button9 = makeButton(GroupBox5, "Button9", QStringLiteral("清空数据"), {8, 21, 89, 25});
    Label18 = makeLabel(GroupBox5, "Label18", QStringLiteral("该操作将清空数据库中所有数据,请慎用."), {112, 27});
    colourText(Label18, Qt::red);

    // --- page "关于我们" -------------------------------------------------------------------
    GroupBox2 = makeGroup(TabSheet3, "GroupBox2", QString(), {0, 0, 708, 421});
    Image1 = named(new QLabel(GroupBox2), "Image1");
    Image1->setGeometry(24, 24, 185, 177);
    Image1->setScaledContents(true);
    ShowScaledPicture(Image1, AboutPicture());
    QFont aboutFont = WindowFont();
    aboutFont.setPixelSize(16);
    auto aboutLabel = [&](auto* label) {
        label->setFont(aboutFont);
        label->adjustSize();
        return label;
    };
    Label10 = aboutLabel(makeLabel(GroupBox2, "Label10", QStringLiteral("软件名称 Quillory"), {264, 24}));
    Label11 = aboutLabel(makeLabel(GroupBox2, "Label11", QStringLiteral("当前版本"), {264, 56}));
    EditVer = makeField(GroupBox2, "EditVer", 337, 54, 121, links::kVersionText);
    EditVer->setReadOnly(true);
    Label12 = aboutLabel(makeLabel<TClickLabel>(GroupBox2, "Label12",
        QStringLiteral("官方网站 ") + links::kHomeEndpoint.mid(7), {264, 90}));
    Label13 = aboutLabel(makeLabel<TClickLabel>(GroupBox2, "Label13",
        QStringLiteral("官方论坛 ") + links::kForumEndpoint.mid(7), {264, 122}));
    Label12->setCursor(Qt::PointingHandCursor);
    Label13->setCursor(Qt::PointingHandCursor);
    Label14 = aboutLabel(makeLabel(GroupBox2, "Label14", QStringLiteral("QQ群 ") + links::kGroupNumber, {265, 153}));
    Label15 = aboutLabel(makeLabel(GroupBox2, "Label15", QStringLiteral("邮箱 ") + links::kSupportMail, {265, 187}));
    Memo1 = makeMemo(GroupBox2, "Memo1", {24, 208, 497, 111},
        {QStringLiteral("更新说明:"), QStringLiteral("1.加入了快捷键自动输入帐号和密码的功能")});
    Bevel1 = named(new QFrame(GroupBox2), "Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(24, 312 + 17 - 2, 497, 2);
    const QColor linkColour(0, 128, 0);
    auto siteLink = [&](const char* name, const QString& caption, int left) {
        auto* label = makeLabel<TClickLabel>(GroupBox2, name, caption, {left, 336});
        colourText(label, linkColour);
        label->setCursor(Qt::PointingHandCursor);
        return label;
    };
    Label23 = siteLink("Label23", QStringLiteral("精品软件"), 64);
    Label24 = siteLink("Label24", QStringLiteral("下载中心"), 152);
    Label25 = siteLink("Label25", QStringLiteral("技术博客"), 240);
    Label26 = siteLink("Label26", QStringLiteral("Brightmoor网"), 328);
    Label27 = siteLink("Label27", QStringLiteral("帮助中心"), 416);

    // --- tray menu ---------------------------------------------------------------------------
    PopupMenu1 = named(new TPopupMenu(this), "PopupMenu1");
    Aboutme = named(PopupMenu1->addAction(QStringLiteral("检测更新")), "Aboutme");
    N2 = named(PopupMenu1->addSeparator(), "N2");
    ShowME = named(PopupMenu1->addAction(QStringLiteral("显示窗口")), "ShowME");
    HideME = named(PopupMenu1->addAction(QStringLiteral("隐藏窗口")), "HideME");
    N1 = named(PopupMenu1->addSeparator(), "N1");
    CloseMe = named(PopupMenu1->addAction(QStringLiteral("退出程序")), "CloseMe");

    // --- tab order, per parent as the window gives it -----------------------------------------
    chainTabOrder({PageControl1, Button_HIde, Button_CheckLogin, ButtonWEB, Button4});
    chainTabOrder({DBGrid1, Button_Refresh, Button_Search, searchkeyword, ComboBoxClass, ComboBoxSeachClass,
                   Button_First, Button_Last, Button_Next, Button_Prior, GroupBox4});
    chainTabOrder({Edit_FenLei, Button_Edit_FenLei_add, Button_Edit_FenLei_Del, Edit_XingMing, Edit_QQ,
                   Edit_DianHua, Edit_ShouJi, Edit_BianHao, Button_ClearAllEdit, Edit_ChuanZhen, Edit_YouXiang,
                   Edit_WangZhi, Memo_BeiZhu, Button1, Button2, Button3, Button5, Button6, Button8});
    chainTabOrder({Edit_Pass_A, Edit_Pass_B, Button7, Button_PassCleal, Button9, Button11});
    chainTabOrder({EditVer, Memo1});

    CreateTransferGroup();

    // Hidden controls that carry state for the handlers; made so once they
    // have their place in the tab order, which then closes over them.
    for (QWidget* state : std::initializer_list<QWidget*>{Button_CheckLogin, Edit_BianHao, Button_ClearAllEdit})
        MakeStateControl(state);
}
