#pragma once

#include <QString>

class QDateTime;
class QLocale;

// The status bar's clock: the date in the locale's short date format, a blank
// and the time in the locale's long time format without its time zone. (Qt's
// long time format names the zone; the clock is also the stamp in the name of
// the password backup.)
QString ClockText(const QLocale& locale, const QDateTime& now);

// A date-time format with its time-zone fields (runs of "t") taken out, with
// the blanks and the brackets that only set a zone apart. Quoted literal text
// stays as it is.
QString WithoutTimeZone(const QString& format);
