#pragma once

#include <QString>
#include <QStringList>

// The statements of the record page, built by joining fixed pieces with the
// controls' texts. Every spliced text value has its single quotes doubled, so
// a value is stored exactly as typed; "%" and "_" in keyword and category keep
// acting as LIKE wildcards.
namespace statements {

// The ten editor values in column order (编号 first; the insert leaves it out).
struct RecordValues {
    QString number;   // 编号
    QString category; // 分类
    QString name;     // 姓名
    QString qq;
    QString mobile;   // 手机
    QString phone;    // 电话
    QString fax;      // 传真
    QString email;    // 邮箱
    QString homePage; // 主页
    QString remarks;  // 备注
};

QString QuoteText(const QString& value);         // inside '...': ' becomes ''
QString QuoteIdentifier(const QString& name);    // a column name that never runs as SQL

QString List();                                   // reload, and the fallback after an empty search
// The field is the column's name; blanks typed around it are not part of it.
QString Search(const QString& field, const QString& keyword);
QString CategoryFilter(const QString& category);
QString CategoryFallback();
QString Insert(const RecordValues& values);
QStringList Update(const RecordValues& values);   // ten lines, added one by one

} // namespace statements
