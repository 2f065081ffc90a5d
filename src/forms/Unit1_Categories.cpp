// The category list: "class.dat" in the program folder, shown in the editor's
// category box (whose items are the list) and in the category filter box
// (always reloaded from the file, so it equals the file).
#include "forms/Unit1.h"

#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "store/CategoryFile.h"
#include "store/DatabaseConstants.h"
#include "ui/ComboItems.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>

namespace {

QString CategoryFilePath()
{
    return Application->ProgramFolder() + store::CategoryFileName;
}

} // namespace

void TForm1::LoadCategoryLists()
{
    const QString path = CategoryFilePath();
    if (!QFileInfo::exists(path))
        WriteCategoryFile(path, ItemsOf(Edit_FenLei));
    const QStringList items = ReadCategoryFile(path);
    ReplaceItemsKeepingText(Edit_FenLei, items);
    ReplaceItemsKeepingText(ComboBoxClass, items);
}

void TForm1::SaveCategoriesAndReloadFilter()
{
    const QString path = CategoryFilePath();
    WriteCategoryFile(path, ItemsOf(Edit_FenLei));
    ReplaceItemsKeepingText(ComboBoxClass, ReadCategoryFile(path));
}

void TForm1::Button_Edit_FenLei_addClick(QObject* /*Sender*/)
{
    const QString category = Edit_FenLei->currentText();
    if (category.isEmpty()) {
        ShowMessage(QStringLiteral("请填写分类."));
        return;
    }
    if (ItemsOf(Edit_FenLei).contains(category, Qt::CaseInsensitive)) {
        ShowMessage(QStringLiteral("该分类已经存在."));
        return;
    }
    Edit_FenLei->addItem(category);
    SaveCategoriesAndReloadFilter();
    ShowMessage(QStringLiteral("新分类添加成功."));
    Edit_FenLei->setEditText(QString());
}

void TForm1::Button_Edit_FenLei_DelClick(QObject* /*Sender*/)
{
    if (Edit_FenLei->currentText().isEmpty()) {
        ShowMessage(QStringLiteral("请选择要删除的分类."));
        return;
    }
    if (!ConfirmWarning(QStringLiteral("您真的要删除该分类吗?")))
        return;
    // Only an item picked from the list, with the text unchanged since, is removed.
    if (pickedCategory_ >= 0 && pickedCategory_ < Edit_FenLei->count())
        Edit_FenLei->removeItem(pickedCategory_);
    pickedCategory_ = -1;
    SaveCategoriesAndReloadFilter();
    Button_ClearAllEditClick(Button_ClearAllEdit);
}
