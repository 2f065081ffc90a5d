#include "store/ConnectionString.h"

namespace {

bool IsQuote(QChar c) { return c == u'"' || c == u'\''; }

// Reads a quoted value starting at text[pos] (the opening quote). Returns the
// unquoted value and moves pos past the closing quote; an unterminated quote
// runs to the end of the text.
QString ReadQuoted(QStringView text, qsizetype& pos)
{
    const QChar quote = text[pos++];
    QString value;
    value.reserve(text.size() - pos); // grown in place: no partial copy left behind
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c != quote) {
            value += c;
        } else if (pos < text.size() && text[pos] == quote) {
            value += quote;
            ++pos;
        } else {
            break;
        }
    }
    return value;
}

// Reads up to the next ';' (or the end); pos ends on the ';'.
QStringView ReadPlain(QStringView text, qsizetype& pos)
{
    const qsizetype start = pos;
    while (pos < text.size() && text[pos] != u';')
        ++pos;
    return text.mid(start, pos - start);
}

} // namespace

TConnectionString TConnectionString::Parse(QStringView text)
{
    TConnectionString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QStringView piece = ReadPlain(text, pos);
        const qsizetype equals = piece.indexOf(u'=');
        if (equals < 0) {
            // No key: part of the previous value that held a ';'.
            if (!result.items_.empty() && !piece.trimmed().isEmpty())
                result.items_.back().second += u';' + piece.toString();
            ++pos;
            continue;
        }
        const QString key = piece.left(equals).trimmed().toString();
        const qsizetype valueStart = pos - piece.size() + equals + 1;
        qsizetype valuePos = valueStart;
        while (valuePos < text.size() && text[valuePos].isSpace())
            ++valuePos;
        QString value;
        if (valuePos < text.size() && IsQuote(text[valuePos])) {
            value = ReadQuoted(text, valuePos);
            // Whatever follows the closing quote up to ';' is dropped.
            pos = valuePos;
            ReadPlain(text, pos);
        } else {
            value = piece.mid(equals + 1).trimmed().toString();
        }
        if (!key.isEmpty())
            result.items_.emplace_back(key, value);
        ++pos;
    }
    return result;
}

TConnectionString::~TConnectionString()
{
    for (auto& [key, value] : items_)
        WipeText(value);
}

const QString* TConnectionString::Find(const QString& key) const
{
    const QStringView wanted = QStringView(key).trimmed();
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (QStringView(it->first).compare(wanted, Qt::CaseInsensitive) == 0)
            return &it->second;
    }
    return nullptr;
}

std::optional<QString> TConnectionString::Value(const QString& key) const
{
    const QString* found = Find(key);
    return found ? std::optional<QString>(*found) : std::nullopt;
}

void WipeText(QString& text)
{
    // A string another one shares, or one over static or borrowed text, is left alone.
    if (text.isEmpty() || !text.isDetached())
        return;
    QChar* characters = text.data();
    volatile char16_t* wiped = reinterpret_cast<char16_t*>(characters);
    for (qsizetype i = 0; i < text.size(); ++i)
        wiped[i] = 0;
}
