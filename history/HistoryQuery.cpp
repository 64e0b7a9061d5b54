#include "history/HistoryQuery.h"

#include <QLocale>
#include <QStringList>

SqlEngine EngineOf(const QSqlDatabase &db) {
    return db.driverName() == QLatin1String("QPSQL") ? SqlEngine::Server : SqlEngine::Embedded;
}

namespace {

// Anyone who did something with the check, or any computer it was done on: one value, bound once
// for each column.
void AnyOf(const QStringList &columns, const QString &value, QStringList &terms, QVariantList &values) {
    QStringList tests;
    for (const QString &column : columns) {
        tests << column + QStringLiteral(" = ?");
        values << value;
    }
    terms << QLatin1Char('(') + tests.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

} // namespace

WhereClause BuildWhere(const HistoryFilter &filter, SqlEngine engine) {
    QStringList terms;
    WhereClause where;
    if (filter.from.isValid()) {
        terms << QStringLiteral("checks.date_printed >= ?");
        where.values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        terms << QStringLiteral("checks.date_printed <= ?");
        where.values << filter.to.toString(Qt::ISODate);
    }
    if (!filter.payee.isEmpty()) {
        // LIKE folds ASCII letters itself and is the quicker; other letters need a pattern that
        // names both cases: GLOB in the file, a regular expression on the server (whose own
        // folding of them depends on its locale). The server's ILIKE folds ASCII in any locale.
        bool ascii = true;
        for (const QChar c : filter.payee) {
            ascii = ascii && c.unicode() < 0x80;
        }
        if (ascii) {
            QString escaped = filter.payee;
            escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                .replace(QLatin1Char('%'), QLatin1String("\\%"))
                .replace(QLatin1Char('_'), QLatin1String("\\_"));
            terms << (engine == SqlEngine::Server ? QStringLiteral("checks.payee ILIKE ? ESCAPE '\\'")
                                                  : QStringLiteral("checks.payee LIKE ? ESCAPE '\\'"));
            where.values << QLatin1Char('%') + escaped + QLatin1Char('%');
        } else if (engine == SqlEngine::Server) {
            terms << QStringLiteral("checks.payee ~ ?");
            where.values << ContainsRegex(filter.payee);
        } else {
            terms << QStringLiteral("checks.payee GLOB ?");
            where.values << ContainsPattern(filter.payee);
        }
    }
    switch (filter.status) {
    case StatusFilter::Issued:
        terms << QStringLiteral("checks.status = 'issued'");
        break;
    case StatusFilter::Voided:
        terms << QStringLiteral("checks.status IN ('voided', 'reprinted')");
        break;
    case StatusFilter::Awaiting:
        terms << QStringLiteral("checks.status = 'awaiting'");
        break;
    case StatusFilter::All:
        break;
    }
    if (filter.checkFrom) {
        terms << QStringLiteral("checks.check_no >= ?");
        where.values << *filter.checkFrom;
    }
    if (filter.checkTo) {
        terms << QStringLiteral("checks.check_no <= ?");
        where.values << *filter.checkTo;
    }
    if (!filter.accountDigits.isEmpty()) {
        terms << QStringLiteral("checks.account_digits = ?");
        where.values << filter.accountDigits;
    }
    if (!filter.user.isEmpty()) {
        AnyOf({QStringLiteral("runs.os_user"), QStringLiteral("checks.marked_by"),
               QStringLiteral("checks.requested_by"), QStringLiteral("checks.approved_by")},
              filter.user, terms, where.values);
    }
    if (!filter.computer.isEmpty()) {
        AnyOf({QStringLiteral("runs.host"), QStringLiteral("checks.marked_host"),
               QStringLiteral("checks.requested_host"), QStringLiteral("checks.approved_host")},
              filter.computer, terms, where.values);
    }
    if (!terms.isEmpty()) {
        where.sql = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    }
    return where;
}

QString BuildOrderBy(const HistorySort &sort, SqlEngine engine) {
    // The expressions match the indexes on check number, date and payee, so that the first page
    // comes straight off an index instead of a sort of the whole table.
    const bool server = engine == SqlEngine::Server;
    QString key;
    switch (sort.column) {
    case ColDate:
        key = QStringLiteral("checks.date_printed");
        break;
    case ColPayee:
        key = server ? QStringLiteral("lower(checks.payee)") : QStringLiteral("checks.payee COLLATE NOCASE");
        break;
    case ColAmount:
        key = QStringLiteral("checks.amount_cents");
        break;
    case ColMemo:
        key = server ? QStringLiteral("lower(checks.memo)") : QStringLiteral("checks.memo COLLATE NOCASE");
        break;
    case ColStatus:
        key = QStringLiteral("checks.status");
        break;
    case ColAccountNo:
        key = QStringLiteral("checks.account_no");
        break;
    case ColBy:
        key = QStringLiteral("COALESCE(runs.os_user, checks.requested_by)");
        break;
    case ColCheckNo:
    default:
        key = QStringLiteral("checks.check_no");
        break;
    }
    const QString direction = sort.descending ? QStringLiteral(" DESC") : QString();
    return QStringLiteral(" ORDER BY ") + key + direction + QStringLiteral(", checks.id") + direction;
}

QString HistorySelectColumns() {
    return QStringLiteral("checks.id, checks.check_no, checks.date_printed, checks.payee, checks.amount_cents, "
                          "checks.memo, checks.status, checks.void_reason, checks.void_date, checks.reprinted_as, "
                          "checks.account_no, checks.address, runs.os_user, runs.host, checks.marked_by, "
                          "checks.marked_host, checks.requested_by, checks.requested_host, checks.requested_at, "
                          "checks.approved_by, checks.approved_host, checks.approved_at");
}

QString HistoryFrom() {
    return QStringLiteral(" FROM checks LEFT JOIN runs ON runs.id = checks.run_id");
}

QString HistoryPageSql(const WhereClause &where, const HistorySort &sort, SqlEngine engine) {
    // With a limit the server's planner walks the index of the sort instead of sorting every check
    // first; an offset rather than an open read, so that nothing is held open between pages.
    return QStringLiteral("SELECT ") + HistorySelectColumns() + HistoryFrom() + where.sql + BuildOrderBy(sort, engine) +
           QStringLiteral(" LIMIT ? OFFSET ?");
}

QString ContainsPattern(const QString &text) {
    QString pattern = QStringLiteral("*");
    const QList<uint> codePoints = text.toUcs4();
    for (const uint c : codePoints) {
        const uint lower = QChar::toLower(c);
        const uint upper = QChar::toUpper(c);
        const uint title = QChar::toTitleCase(c);
        const bool special = c == '*' || c == '?' || c == '[' || c == ']';
        if (lower == upper && upper == title && !special) {
            pattern += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
            continue;
        }
        // A bracket class: "[]" would end it at once, so ']' stands first; '*', '?' and '[' are
        // plain characters inside a class.
        QList<uint> members{c};
        for (const uint other : {lower, upper, title}) {
            if (!members.contains(other)) {
                members << other;
            }
        }
        if (members.removeAll(uint(']')) > 0) {
            members.prepend(uint(']'));
        }
        pattern += QLatin1Char('[');
        for (const uint member : members) {
            pattern += QString::fromUcs4(reinterpret_cast<const char32_t *>(&member), 1);
        }
        pattern += QLatin1Char(']');
    }
    return pattern + QLatin1Char('*');
}

QString ContainsRegex(const QString &text) {
    QString pattern;
    const QList<uint> codePoints = text.toUcs4();
    for (const uint c : codePoints) {
        QList<uint> members{c};
        for (const uint other : {QChar::toLower(c), QChar::toUpper(c), QChar::toTitleCase(c)}) {
            if (!members.contains(other)) {
                members << other;
            }
        }
        if (members.size() > 1) {
            // Letters alone: nothing in the class is special.
            pattern += QLatin1Char('[') +
                       QString::fromUcs4(reinterpret_cast<const char32_t *>(members.constData()), members.size()) +
                       QLatin1Char(']');
        } else if (c < 0x80 && !QChar::isLetterOrNumber(c)) {
            // A backslash before anything but a letter or digit stands for that character itself.
            pattern += QLatin1Char('\\') + QChar(c);
        } else {
            pattern += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
        }
    }
    return pattern;
}

QString PlainAmount(qint64 cents) {
    const bool negative = cents < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(cents) : static_cast<quint64>(cents);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) + QLatin1Char('.') +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString GroupedAmount(qint64 cents) {
    const QLocale locale;
    const bool negative = cents < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(cents) : static_cast<quint64>(cents);
    return (negative ? locale.negativeSign() : QString()) + locale.toString(magnitude / 100) + locale.decimalPoint() +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}
