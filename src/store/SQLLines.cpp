#include "store/SQLLines.h"

void TSQLLines::Clear()
{
    beforeChange_();
    lines_.clear();
}

void TSQLLines::Add(const QString& line)
{
    beforeChange_();
    lines_.append(line);
}

void TSQLLines::SetText(const QString& text)
{
    beforeChange_();
    lines_.clear();
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (c != u'\r' && c != u'\n') {
            ++pos;
            continue;
        }
        lines_.append(text.mid(start, pos - start));
        pos += (c == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') ? 2 : 1;
        start = pos;
    }
    // A final line break ends the last line; it does not open an empty one.
    if (start < text.size())
        lines_.append(text.mid(start));
}

QString TSQLLines::Text() const
{
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}
