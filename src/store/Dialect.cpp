#include "store/Dialect.h"

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Index just past a quoted run that starts at pos (the opening character);
// a doubled closing character stays inside the run.
qsizetype SkipQuoted(QStringView text, qsizetype pos, QChar close)
{
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == close) {
            if (pos + 1 < text.size() && text[pos + 1] == close && close != u']') {
                pos += 2;
                continue;
            }
            return pos + 1;
        }
        ++pos;
    }
    return pos;
}

qsizetype SkipSpaces(QStringView text, qsizetype pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    return pos;
}

// The end of everything that is not a keyword candidate starting at pos:
// quoted texts, bracketed names and comments are stepped over whole.
qsizetype SkipNonCode(QStringView text, qsizetype pos)
{
    const QChar c = text[pos];
    const QChar next = pos + 1 < text.size() ? text[pos + 1] : QChar();
    if (c == u'\'' || c == u'"' || c == u'`')
        return SkipQuoted(text, pos, c);
    if (c == u'[')
        return SkipQuoted(text, pos, u']');
    if (c == u'-' && next == u'-') {
        const qsizetype end = text.indexOf(u'\n', pos);
        return end < 0 ? text.size() : end + 1;
    }
    if (c == u'/' && next == u'*') {
        const qsizetype end = text.indexOf(u"*/", pos + 2);
        return end < 0 ? text.size() : end + 2;
    }
    return pos;
}

} // namespace

QString AdaptStatement(QStringView statement)
{
    QString result;
    result.reserve(statement.size());
    qsizetype copiedUpTo = 0;
    qsizetype pos = 0;
    while (pos < statement.size()) {
        const qsizetype skipped = SkipNonCode(statement, pos);
        if (skipped != pos) {
            pos = skipped;
            continue;
        }
        if (!IsWordChar(statement[pos])) {
            ++pos;
            continue;
        }
        qsizetype wordEnd = pos;
        while (wordEnd < statement.size() && IsWordChar(statement[wordEnd]))
            ++wordEnd;
        const bool isFrom = statement.mid(pos, wordEnd - pos).compare(u"from", Qt::CaseInsensitive) == 0;
        pos = wordEnd;
        if (!isFrom)
            continue;

        // FROM ( name ) -> FROM name
        const qsizetype open = SkipSpaces(statement, pos);
        if (open >= statement.size() || statement[open] != u'(')
            continue;
        const qsizetype nameStart = SkipSpaces(statement, open + 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < statement.size() && IsWordChar(statement[nameEnd]))
            ++nameEnd;
        const qsizetype close = SkipSpaces(statement, nameEnd);
        if (nameEnd == nameStart || close >= statement.size() || statement[close] != u')')
            continue;
        result += statement.mid(copiedUpTo, open - copiedUpTo);
        // Keep the name a separate word when no blank surrounded the parentheses.
        if (IsWordChar(statement[open - 1]))
            result += u' ';
        result += statement.mid(nameStart, nameEnd - nameStart);
        if (close + 1 < statement.size() && IsWordChar(statement[close + 1]))
            result += u' ';
        copiedUpTo = close + 1;
        pos = close + 1;
    }
    result += statement.mid(copiedUpTo);
    return result;
}
