#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The calendar, so that tests can set today's date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate Today() const = 0;
};

class SystemClock final : public Clock {
public:
    QDate Today() const override { return QDate::currentDate(); }
};

// The program's one short-date rule: the locale's short date with a four-digit year
// (12/07/2026 on an en-US desktop), used by the register and the printed checks alike.
QString ShortDateText(const QDate &date, const QLocale &locale);
