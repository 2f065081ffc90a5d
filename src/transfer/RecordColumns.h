#pragma once

#include <array>
#include <string>
#include <string_view>

// One record of table data as files carry it: the ten columns in the order
// every statement names them, each as UTF-8 text.
namespace transfer {

namespace col {
enum : int { Number, Category, Name, QQ, Mobile, Phone, Fax, Email, HomePage, Remarks, Count };
}

// The column names as they stand in the table.
inline constexpr std::array<std::string_view, col::Count> ColumnNames = {
    "编号", "分类", "姓名", "QQ", "手机", "电话", "传真", "邮箱", "主页", "备注",
};

// 编号 is read for export only: the database assigns it to every appended row.
using Record = std::array<std::string, col::Count>;
using RecordView = std::array<std::string_view, col::Count>;

inline RecordView ViewOf(const Record& record)
{
    RecordView view;
    for (int column = 0; column < col::Count; ++column)
        view[column] = record[column];
    return view;
}

// True when no column a file can bring in (all but 编号) holds text.
inline bool HasNoImportableText(const Record& record)
{
    for (int column = col::Category; column < col::Count; ++column)
        if (!record[column].empty())
            return false;
    return true;
}

} // namespace transfer
