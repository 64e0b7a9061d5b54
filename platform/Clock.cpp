#include "platform/Clock.h"

#include <QRegularExpression>

QString ShortDateText(const QDate &date, const QLocale &locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Widen a two-digit year to four digits; leave a four-digit one alone.
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    // Months and days take two digits so that every date has the same width.
    static const QRegularExpression singleMonth(QStringLiteral("(?<!M)M(?!M)"));
    static const QRegularExpression singleDay(QStringLiteral("(?<!d)d(?!d)"));
    format.replace(singleMonth, QStringLiteral("MM"));
    format.replace(singleDay, QStringLiteral("dd"));
    return locale.toString(date, format);
}
