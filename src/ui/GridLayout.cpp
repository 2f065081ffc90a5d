#include "ui/GridLayout.h"

#include <QAbstractItemModel>
#include <QTableView>

#include <array>

namespace {

struct ColumnLayout {
    int width;
    bool shown;
};

constexpr std::array<ColumnLayout, 10> kColumns{{
    {40, true},   // 编号
    {60, true},   // 分类
    {100, true},  // 姓名
    {110, true},  // QQ
    {110, true},  // 手机
    {110, true},  // 电话
    {60, false},  // 传真
    {120, true},  // 邮箱
    {60, false},  // 主页
    {60, false},  // 备注
}};

} // namespace

void ApplyGridColumnLayout(QTableView* grid)
{
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int i = 0; i < columns && i < static_cast<int>(kColumns.size()); ++i) {
        grid->setColumnHidden(i, false);
        grid->setColumnWidth(i, kColumns[static_cast<size_t>(i)].width);
        grid->setColumnHidden(i, !kColumns[static_cast<size_t>(i)].shown);
    }
}
