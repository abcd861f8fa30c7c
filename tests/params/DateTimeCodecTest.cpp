// Date, time and interval texts in the three locales, their parsing back, and
// the Moment day count.
#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

struct LocaleTexts {
    const char* name;
    const char* date;  // 5 March 2015
    const char* time;  // 14:07:09
};
const LocaleTexts kTexts[] = {
    {"pl_PL", "5.03.2015", "14:07:09"},
    {"en_US", "3/5/2015", "2:07:09 PM"},
    {"de_DE", "05.03.2015", "14:07:09"},
};

TEST(DateTimeTexts, FourDigitYearsAndNoZoneInEveryLocale) {
    for (const auto& l : kTexts) {
        LocaleGuard locale(l.name);
        EXPECT_EQ(DateText(2015, 3, 5), QString::fromLatin1(l.date)) << l.name;
        EXPECT_EQ(TimeText(14, 7, 9), QString::fromLatin1(l.time)) << l.name;
        EXPECT_EQ(IntervalText(300), QStringLiteral("0d  00h:05m:00s")) << l.name;
    }
}

TEST(DateTimeTexts, InvalidFieldsGiveTheEmptyText) {
    LocaleGuard locale("pl_PL");
    EXPECT_EQ(DateText(2015, 13, 1), QString());
    EXPECT_EQ(DateText(2015, 2, 30), QString());
    EXPECT_EQ(DateText(2016, 2, 29), QStringLiteral("29.02.2016"));
    EXPECT_EQ(DateText(0, 1, 1), QString());
    EXPECT_EQ(DateText(65535, 1, 1), QString());
    EXPECT_EQ(TimeText(25, 0, 0), QString());
    EXPECT_EQ(TimeText(23, 60, 0), QString());
    EXPECT_EQ(TimeText(255, 255, 255), QString());
}

TEST(DateTimeParsing, ReadsBackEveryFormattedTextAndCombinations) {
    for (const auto& l : kTexts) {
        LocaleGuard locale(l.name);
        const QString date = QString::fromLatin1(l.date), time = QString::fromLatin1(l.time);
        const auto d = ParseDateTimeText(date);
        ASSERT_TRUE(d) << l.name;
        EXPECT_EQ(d->date(), QDate(2015, 3, 5));
        EXPECT_EQ(d->time(), QTime(0, 0));
        const auto t = ParseDateTimeText(time);
        ASSERT_TRUE(t) << l.name;
        EXPECT_EQ(t->date(), QDate(1899, 12, 30));  // a time alone stands on day 0
        EXPECT_EQ(t->time(), QTime(14, 7, 9));
        const auto both = ParseDateTimeText(date + u' ' + time);
        ASSERT_TRUE(both) << l.name;
        EXPECT_EQ(both->date(), QDate(2015, 3, 5));
        EXPECT_EQ(both->time(), QTime(14, 7, 9));
        // Every day of a leap year and a set of times survive formatting and parsing.
        for (QDate day(2016, 1, 1); day.year() == 2016; day = day.addDays(1)) {
            const auto back = ParseDateTimeText(DateText(day.year(), day.month(), day.day()));
            ASSERT_TRUE(back && back->date() == day) << l.name << " " << qPrintable(day.toString());
        }
        for (int s = 0; s < 86400; s += 997) {
            const QTime clock = QTime(0, 0).addSecs(s);
            const auto back = ParseDateTimeText(TimeText(clock.hour(), clock.minute(), clock.second()));
            ASSERT_TRUE(back && back->time() == clock) << l.name << " " << s;
        }
    }
}

TEST(DateTimeParsing, RejectsNonsenseAndImpossibleDates) {
    LocaleGuard locale("de_DE");
    for (const char* text :
         {"", "   ", "31.02.2015", "01.13.2015", "25:00:00", "12:61:00", "heute", "05.03.2015 x", "05.03.15x"}) {
        EXPECT_FALSE(ParseDateTimeText(QString::fromLatin1(text))) << text;
    }
    EXPECT_TRUE(ParseDateTimeText(QStringLiteral("5.3.2015")));  // one-digit fields typed by hand
    EXPECT_TRUE(ParseDateTimeText(QStringLiteral("14:07")));     // short time
}

TEST(MomentConversion, DayCountBothWays) {
    EXPECT_EQ(ToMoment(QDate(1899, 12, 30), QTime(0, 0)), 0.0);
    EXPECT_EQ(ToMoment(QDate(1900, 1, 1), QTime(12, 0)), 2.5);
    EXPECT_EQ(ToMoment(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
    EXPECT_EQ(FromMoment(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    EXPECT_EQ(FromMoment(42068.5), QDateTime(QDate(2015, 3, 5), QTime(12, 0), Qt::UTC));
    // Rounding up to midnight carries into the next day.
    EXPECT_EQ(FromMoment(42068.9999999999), QDateTime(QDate(2015, 3, 6), QTime(0, 0), Qt::UTC));
    const QDateTime moment(QDate(2026, 12, 7), QTime(8, 48, 55, 123), Qt::UTC);
    EXPECT_EQ(FromMoment(ToMoment(moment)), moment);
    for (double bad : {std::nan(""), 1e300, -1e300, 3e6, -7e5}) EXPECT_FALSE(FromMoment(bad).isValid()) << bad;
}

}  // namespace
}  // namespace quorvex
