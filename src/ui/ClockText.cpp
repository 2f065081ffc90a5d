#include "ui/ClockText.h"

#include <QDateTime>
#include <QLocale>

namespace {

constexpr QChar kQuote = u'\'';
constexpr QChar kZoneField = u't';

void ChopTrailingBlanks(QString& text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
}

qsizetype LeadingBlanks(const QString& text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && text.at(end).isSpace())
        ++end;
    return end - from;
}

} // namespace

QString WithoutTimeZone(const QString& format)
{
    QString kept;
    bool quoted = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == kQuote)
            quoted = !quoted;  // "''" toggles twice and stays a literal quote
        if (quoted || c != kZoneField) {
            kept += c;
            ++i;
            continue;
        }
        while (i < format.size() && format.at(i) == kZoneField)
            ++i;
        // The zone goes with what only set it apart: its brackets and a blank.
        ChopTrailingBlanks(kept);
        if (kept.endsWith(u'(') && i < format.size() && format.at(i) == u')') {
            kept.chop(1);
            ++i;
            ChopTrailingBlanks(kept);
        }
        if (kept.isEmpty())
            i += LeadingBlanks(format, i);
    }
    ChopTrailingBlanks(kept);
    return kept;
}

QString ClockText(const QLocale& locale, const QDateTime& now)
{
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(now.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}
