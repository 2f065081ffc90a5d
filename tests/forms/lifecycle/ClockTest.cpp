// The status bar's clock: the locale's short date and long time, without the
// time zone that Qt's long time format names.
#include "ui/ClockText.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

TEST(ClockTextTest, TheZoneGoesWithTheBlanksAndBracketsThatSetItApartQuotedTextStays)
{
    const std::pair<const char*, const char*> formats[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"}, {"t HH:mm:ss", "HH:mm:ss"},         {"H:mm:ss (tttt)", "H:mm:ss"},
        {"HH:mm t ss", "HH:mm ss"},     {"HH 'at' ss t", "HH 'at' ss"}, {"HH 'o''t' t", "HH 'o''t'"}};
    for (const auto& [format, withoutZone] : formats)
        EXPECT_EQ(WithoutTimeZone(QString::fromUtf8(format)), QString::fromUtf8(withoutZone)) << format;

    const QDateTime now(QDate(2026, 12, 7), QTime(11, 41, 19));
    const QStringList zoneNames{QTimeZone::systemTimeZone().abbreviation(now), QStringLiteral("UTC"),
                                QStringLiteral("GMT")};
    for (const char* name : {"en_US", "zh_CN", "de_DE", "fr_FR", "fa_IR"}) {
        const QLocale locale(QString::fromLatin1(name));
        const QString shown = ClockText(locale, now);
        EXPECT_TRUE(shown.startsWith(locale.toString(now.date(), QLocale::ShortFormat) + u' ')) << name;
        for (const QString& zone : zoneNames)
            EXPECT_FALSE(shown.contains(zone)) << shown.toStdString();
    }
}
