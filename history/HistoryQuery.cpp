#include "history/HistoryQuery.h"

#include <QLocale>
#include <QStringList>

WhereClause BuildWhere(const HistoryFilter &filter) {
    QStringList terms;
    WhereClause where;
    if (filter.from.isValid()) {
        terms << QStringLiteral("date_printed >= ?");
        where.values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        terms << QStringLiteral("date_printed <= ?");
        where.values << filter.to.toString(Qt::ISODate);
    }
    if (!filter.payee.isEmpty()) {
        // LIKE folds ASCII letters itself and is the quicker of the two; other letters need GLOB.
        bool ascii = true;
        for (const QChar c : filter.payee) {
            ascii = ascii && c.unicode() < 0x80;
        }
        if (ascii) {
            QString escaped = filter.payee;
            escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                .replace(QLatin1Char('%'), QLatin1String("\\%"))
                .replace(QLatin1Char('_'), QLatin1String("\\_"));
            terms << QStringLiteral("payee LIKE ? ESCAPE '\\'");
            where.values << QLatin1Char('%') + escaped + QLatin1Char('%');
        } else {
            terms << QStringLiteral("payee GLOB ?");
            where.values << ContainsPattern(filter.payee);
        }
    }
    switch (filter.status) {
    case StatusFilter::Issued:
        terms << QStringLiteral("status = 'issued'");
        break;
    case StatusFilter::Voided:
        terms << QStringLiteral("status IN ('voided', 'reprinted')");
        break;
    case StatusFilter::All:
        break;
    }
    if (filter.checkFrom) {
        terms << QStringLiteral("check_no >= ?");
        where.values << *filter.checkFrom;
    }
    if (filter.checkTo) {
        terms << QStringLiteral("check_no <= ?");
        where.values << *filter.checkTo;
    }
    if (!filter.accountDigits.isEmpty()) {
        terms << QStringLiteral("account_digits = ?");
        where.values << filter.accountDigits;
    }
    if (!terms.isEmpty()) {
        where.sql = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    }
    return where;
}

QString BuildOrderBy(const HistorySort &sort) {
    // The expressions match the indexes on check number, date and payee, so that the first page
    // comes straight off an index instead of a sort of the whole table.
    QString key;
    switch (sort.column) {
    case ColDate:
        key = QStringLiteral("date_printed");
        break;
    case ColPayee:
        key = QStringLiteral("payee COLLATE NOCASE");
        break;
    case ColAmount:
        key = QStringLiteral("amount_cents");
        break;
    case ColMemo:
        key = QStringLiteral("memo COLLATE NOCASE");
        break;
    case ColStatus:
        key = QStringLiteral("status");
        break;
    case ColAccountNo:
        key = QStringLiteral("account_no");
        break;
    case ColCheckNo:
    default:
        key = QStringLiteral("check_no");
        break;
    }
    const QString direction = sort.descending ? QStringLiteral(" DESC") : QString();
    return QStringLiteral(" ORDER BY ") + key + direction + QStringLiteral(", id") + direction;
}

QString HistorySelectColumns() {
    return QStringLiteral("id, check_no, date_printed, payee, amount_cents, memo, status, void_reason, void_date, "
                          "reprinted_as, account_no, address");
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
