#pragma once

class QTableView;

// The record grid's fixed column layout, applied after every list, search and
// filter: each column's width first, then the hidden columns (传真, 主页, 备注)
// are hidden. Widths the user dragged are reset by it.
void ApplyGridColumnLayout(QTableView* grid);
