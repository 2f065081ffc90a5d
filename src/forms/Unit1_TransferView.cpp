// The group "导入导出" on the settings page, below "特殊操作": four buttons
// bound to their handlers and a line that says what the two kinds of file are.
#include "forms/Unit1.h"

#include "runtime/Application.h"
#include "ui/FormBuilding.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

void TForm1::CreateTransferGroup()
{
    GroupBox7 = named(new QGroupBox(QStringLiteral("导入导出"), TabSheet2), "GroupBox7");
    GroupBox7->setGeometry(0, 241, 708, 60);
    auto button = [this](const char* name, const QString& caption, int left, void (TForm1::*handler)(QObject*)) {
        QPushButton* made = makeButton(GroupBox7, name, caption, {left, 21, 89, 25});
        connect(made, &QPushButton::clicked, this, Bind(this, handler, made));
        return made;
    };
    Button_ExportCsv = button("Button_ExportCsv", QStringLiteral("导出表格"), 8, &TForm1::Button_ExportCsvClick);
    Button_ExportVCard = button("Button_ExportVCard", QStringLiteral("导出名片"), 104, &TForm1::Button_ExportVCardClick);
    Button_ImportCsv = button("Button_ImportCsv", QStringLiteral("导入表格"), 200, &TForm1::Button_ImportCsvClick);
    Button_ImportVCard = button("Button_ImportVCard", QStringLiteral("导入名片"), 296, &TForm1::Button_ImportVCardClick);
    Label30 = named(new QLabel(QStringLiteral("表格为CSV文件, 名片为vCard文件; 导入只添加记录."), GroupBox7), "Label30");
    Label30->move(400, 27);
    Label30->adjustSize();
    QWidget* previous = Button11; // the page's last control before this group
    for (QWidget* next : {Button_ExportCsv, Button_ExportVCard, Button_ImportCsv, Button_ImportVCard}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
}
