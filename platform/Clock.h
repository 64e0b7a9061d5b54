#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// The calendar, so that tests can set today's date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate Today() const = 0;
    // Today at the present time of day: a clock that sets the date moves the moment with it.
    virtual QDateTime Now() const { return QDateTime(Today(), QTime::currentTime()); }
};

class SystemClock final : public Clock {
public:
    QDate Today() const override { return QDate::currentDate(); }
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// The program's one short-date rule: the locale's short date with a four-digit year
// (12/07/2026 on an en-US desktop), used by the register and the printed checks alike.
QString ShortDateText(const QDate &date, const QLocale &locale);
