#include "store/RecordStatements.h"

namespace statements {

QString QuoteText(const QString& value)
{
    QString quoted = value;
    return quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString QuoteIdentifier(const QString& name)
{
    // Back-quoted: a name that is no column fails as an unknown column instead
    // of being read as a text value or as more SQL.
    QString quoted = name;
    return QLatin1Char('`') + quoted.replace(QLatin1Char('`'), QStringLiteral("``")) + QLatin1Char('`');
}

QString List()
{
    return QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注 from data");
}

QString Search(const QString& field, const QString& keyword)
{
    return QStringLiteral("Select 编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where ")
        + QuoteIdentifier(field.trimmed()) + QStringLiteral(" like '%") + QuoteText(keyword) + QStringLiteral("%' ");
}

QString CategoryFilter(const QString& category)
{
    return QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data where 分类 like '%")
        + QuoteText(category) + QStringLiteral("%' ");
}

QString CategoryFallback()
{
    return QStringLiteral("Select  编号,分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注  from data");
}

QString Insert(const RecordValues& v)
{
    const QString separator = QStringLiteral("','");
    return QStringLiteral("Insert into data (分类,姓名,QQ,手机,电话,传真,邮箱,主页,备注) values ('")
        + QStringList{QuoteText(v.category), QuoteText(v.name), QuoteText(v.qq), QuoteText(v.mobile),
                      QuoteText(v.phone), QuoteText(v.fax), QuoteText(v.email), QuoteText(v.homePage),
                      QuoteText(v.remarks)}
              .join(separator)
        + QStringLiteral("')");
}

QStringList Update(const RecordValues& v)
{
    auto assignment = [](const char* prefix, const QString& value) {
        return QString::fromUtf8(prefix) + QuoteText(value) + QStringLiteral("' ");
    };
    return {
        assignment("update data  set 分类='", v.category),
        assignment(", 姓名='", v.name),
        assignment(", QQ='", v.qq),
        assignment(", 手机='", v.mobile),
        assignment(", 电话='", v.phone),
        assignment(", 传真='", v.fax),
        assignment(", 邮箱='", v.email),
        assignment(", 主页='", v.homePage),
        assignment(", 备注='", v.remarks),
        QStringLiteral("where  编号=") + v.number,
    };
}

} // namespace statements
