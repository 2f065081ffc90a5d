// Binds every control's events to the main window's handlers. Each handler
// runs through the application's dispatcher, so an error that leaves it is
// reported and the program goes on.
#include "forms/Unit1.h"

#include "forms/Unit1_Password.h"
#include "runtime/Application.h"
#include "store/ADOQuery.h"
#include "ui/ClickLabel.h"
#include "ui/MouseClickFilter.h"
#include "ui/RecordGridModel.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

void TForm1::BindEvents()
{
    auto onClick = [this](QPushButton* button, void (TForm1::*handler)(QObject*)) {
        connect(button, &QPushButton::clicked, this, Bind(this, handler, button));
    };
    auto onTrigger = [this](QAction* item, void (TForm1::*handler)(QObject*)) {
        connect(item, &QAction::triggered, this, Bind(this, handler, item));
    };
    auto onLabelClick = [this](TClickLabel* label, void (TForm1::*handler)(QObject*)) {
        connect(label, &TClickLabel::clicked, this, Bind(this, handler, label));
    };
    auto onTick = [this](QTimer* timer, void (TForm1::*handler)(QObject*)) {
        connect(timer, &QTimer::timeout, this, Bind(this, handler, timer));
    };

    onTick(Timer_CheckLogin, &TForm1::Timer_CheckLoginTimer);
    onTick(Timer1, &TForm1::Timer1Timer);
    onTick(Timer_CloseMe, &TForm1::Timer_CloseMeTimer);
    onTick(Timer_ClearClipbrd, &TForm1::Timer_ClearClipbrdTimer);

    onLabelClick(Image2, &TForm1::Image2Click);
    onClick(Button_CheckLogin, &TForm1::Button_CheckLoginClick);
    onClick(ButtonWEB, &TForm1::ButtonWEBClick);
    onClick(Button4, &TForm1::Button4Click);
    onClick(Button_HIde, &TForm1::Button_HIdeClick);

    // Records page.
    onClick(Button_Search, &TForm1::Button_SearchClick);
    onClick(Button_First, &TForm1::Button_FirstClick);
    onClick(Button_Prior, &TForm1::Button_PriorClick);
    onClick(Button_Next, &TForm1::Button_NextClick);
    onClick(Button_Last, &TForm1::Button_LastClick);
    onClick(Button_Refresh, &TForm1::Button_RefreshClick);
    onClick(Button_Edit_FenLei_add, &TForm1::Button_Edit_FenLei_addClick);
    onClick(Button_Edit_FenLei_Del, &TForm1::Button_Edit_FenLei_DelClick);
    onClick(Button8, &TForm1::Button8Click);
    onClick(Button6, &TForm1::Button6Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(Button1, &TForm1::Button1Click);
    onClick(Button2, &TForm1::Button2Click);
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button_ClearAllEdit, &TForm1::Button_ClearAllEditClick);

    // The filter runs on what the user types or picks, never on text set by code.
    connect(ComboBoxClass->lineEdit(), &QLineEdit::textEdited, this,
            Bind(this, &TForm1::ComboBoxClassChange, ComboBoxClass));
    connect(ComboBoxClass, &QComboBox::activated, this, Bind(this, &TForm1::ComboBoxClassChange, ComboBoxClass));

    // An item of the category box counts as picked until its text changes.
    connect(Edit_FenLei->lineEdit(), &QLineEdit::textChanged, this, [this] { pickedCategory_ = -1; });
    connect(Edit_FenLei, &QComboBox::activated, this, [this](int index) { pickedCategory_ = index; });

    auto* keywordClicks = new MouseClickFilter(searchkeyword);
    connect(keywordClicks, &MouseClickFilter::clicked, this, Bind(this, &TForm1::searchkeywordClick, searchkeyword));
    connect(keywordClicks, &MouseClickFilter::doubleClicked, this,
            Bind(this, &TForm1::searchkeywordDblClick, searchkeyword));

    GridModel->LinkGrid(DBGrid1);
    connect(DBGrid1, &QTableView::clicked, this, Bind(this, &TForm1::DBGrid1CellClick, DBGrid1));

    // Settings page.
    onClick(Button7, &TForm1::Button7Click);
    onClick(Button_PassCleal, &TForm1::Button_PassClealClick);
    InstallPasswordKeyFilters(this);
    onClick(Button11, &TForm1::Button11Click);
    onClick(Button9, &TForm1::Button9Click);

    // About page.
    onLabelClick(Label12, &TForm1::Label12Click);
    onLabelClick(Label13, &TForm1::Label12Click);
    onLabelClick(Label23, &TForm1::Label23Click);
    onLabelClick(Label24, &TForm1::Label24Click);
    onLabelClick(Label25, &TForm1::Label25Click);
    onLabelClick(Label26, &TForm1::Label26Click);
    onLabelClick(Label27, &TForm1::Label27Click);

    // Tray menu.
    onTrigger(Aboutme, &TForm1::AboutmeClick);
    onTrigger(ShowME, &TForm1::ShowMEClick);
    onTrigger(HideME, &TForm1::HideMEClick);
    onTrigger(CloseMe, &TForm1::CloseMeClick);
}
