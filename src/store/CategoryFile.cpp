#include "store/CategoryFile.h"

#include "platform/system/CodePage.h"
#include "platform/system/FileReplacement.h"

#include <QFile>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void ThrowFileError(const QFileDevice& file)
{
    throw std::runtime_error(file.errorString().toStdString());
}

} // namespace

// Splitting the bytes before decoding is safe: no GBK or GB18030 multi-byte
// sequence contains a CR, LF or zero byte.
QStringList ParseCategoryBytes(QByteArrayView bytes)
{
    std::string_view text(bytes.data(), static_cast<std::size_t>(bytes.size()));
    text = text.substr(0, text.find('\0'));
    QStringList lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lineEnd = std::min(text.find_first_of("\r\n", pos), text.size());
        lines.append(platform::FromAnsi(text.substr(pos, lineEnd - pos)));
        pos = lineEnd + 1;
        if (lineEnd < text.size() && text[lineEnd] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

QStringList ReadCategoryFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowFileError(file);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        ThrowFileError(file);
    return ParseCategoryBytes(bytes);
}

QByteArray FormatCategoryBytes(const QStringList& items)
{
    QByteArray content;
    for (const QString& item : items) {
        const std::string bytes = platform::ToAnsi(item);
        content.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
        content.append("\r\n");
    }
    return content;
}

void WriteCategoryFile(const QString& path, const QStringList& items)
{
    const QByteArray content = FormatCategoryBytes(items);
    platform::FileReplacement file(path);
    file.Write(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    file.Commit();
}

QStringList BuiltInCategories()
{
    return {QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"), QStringLiteral("邮箱帐号"),
            QStringLiteral("QQ帐号"),   QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")};
}
