// The status bar's clock: the locale's short date and long time, without the
// time zone that Qt's long time format names.
#include "app/ClockText.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char* format;
    const char* withoutZone;
};

class ClockFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ClockFormatTest, TakesOutTheZoneWithTheBlanksAndBracketsThatSetItApart)
{
    EXPECT_EQ(WithoutTimeZone(QString::fromUtf8(GetParam().format)), QString::fromUtf8(GetParam().withoutZone));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ClockFormatTest,
    ::testing::Values(FormatCase{"h:mm:ss AP t", "h:mm:ss AP"}, FormatCase{"t HH:mm:ss", "HH:mm:ss"},
                      FormatCase{"tttt HH:mm:ss", "HH:mm:ss"}, FormatCase{"H:mm:ss (t)", "H:mm:ss"},
                      FormatCase{"HH:mm t ss", "HH:mm ss"},
                      // quoted text is literal, a doubled quote included
                      FormatCase{"HH 'h' mm 'at' ss 's' t", "HH 'h' mm 'at' ss 's'"},
                      FormatCase{"HH:mm:ss 'o''t' t", "HH:mm:ss 'o''t'"}, FormatCase{"HH:mm:ss", "HH:mm:ss"}));

TEST(ClockTextTest, EveryLocaleShowsItsDateAndTimeWithoutAZone)
{
    const QDateTime now(QDate(2026, 12, 7), QTime(11, 41, 19));
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (const char* name : {"en_US", "zh_CN", "zh_TW", "de_DE", "fr_FR", "ja_JP", "ko_KR", "fa_IR", "ru_RU"}) {
        SCOPED_TRACE(name);
        const QLocale locale(QString::fromLatin1(name));
        const QString shown = ClockText(locale, now);
        EXPECT_TRUE(shown.startsWith(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')))
            << shown.toStdString();
        EXPECT_TRUE(shown.contains(locale.toString(now.time(), QStringLiteral("mm"))));
        for (const QString& zoneName : {zone.abbreviation(now), zone.displayName(now, QTimeZone::LongName, locale),
                                        QStringLiteral("UTC"), QStringLiteral("GMT")}) {
            if (zoneName.isEmpty())
                continue;
            EXPECT_FALSE(shown.contains(zoneName)) << shown.toStdString() << " holds " << zoneName.toStdString();
        }
    }
}

} // namespace
