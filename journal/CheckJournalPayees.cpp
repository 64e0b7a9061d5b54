// The payee book's table of the check journal.
#include "journal/CheckJournal.h"

#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <numeric>

namespace {

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QString notNull(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

FileResult CheckJournal::LoadPayees(QList<Payee> &payees) {
    payees.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, name, address_1, address_2, address_3, address_4, memo, notes, "
                                   "last_used FROM payees ORDER BY name_key"))) {
        return failQuery(QStringLiteral("be read"), query);
    }
    while (query.next()) {
        Payee payee;
        payee.id = query.value(0).toLongLong();
        payee.name = query.value(1).toString();
        for (int line = 0; line < kMostPayeeAddressLines; ++line) {
            payee.address << query.value(2 + line).toString();
        }
        payee.address = TrimmedAddress(payee.address);
        payee.memo = query.value(6).toString();
        payee.notes = query.value(7).toString();
        payee.lastUsed = QDateTime::fromString(query.value(8).toString(), kDateTimeFormat);
        payees.append(payee);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::writePayee(const Payee &payee, qint64 *id) {
    const QString what = QStringLiteral("keep the payee \"%1\"").arg(PayeeName(payee.name));
    QSqlQuery same(db_);
    same.prepare(QStringLiteral("SELECT name FROM payees WHERE name_key = ? AND id <> ?"));
    same.addBindValue(PayeeKey(payee.name));
    same.addBindValue(payee.id);
    if (!same.exec()) {
        return failQuery(what, same);
    }
    if (same.next()) {
        return FileResult::Fail(QStringLiteral("The payee book has \"%1\" already; names that differ only in "
                                               "letter case or blanks are one payee. Change that entry instead.")
                                    .arg(same.value(0).toString()));
    }
    same.finish();
    QSqlQuery query(db_);
    query.prepare(payee.id == 0 ? QStringLiteral("INSERT INTO payees(name, name_key, address_1, address_2, address_3, "
                                                 "address_4, memo, notes) VALUES(?, ?, ?, ?, ?, ?, ?, ?)")
                                : QStringLiteral("UPDATE payees SET name = ?, name_key = ?, address_1 = ?, "
                                                 "address_2 = ?, address_3 = ?, address_4 = ?, memo = ?, notes = ? "
                                                 "WHERE id = ?"));
    query.addBindValue(PayeeName(payee.name));
    query.addBindValue(PayeeKey(payee.name));
    const QStringList address = TrimmedAddress(payee.address);
    for (int line = 0; line < kMostPayeeAddressLines; ++line) {
        query.addBindValue(notNull(address.value(line)));
    }
    query.addBindValue(notNull(payee.memo));
    query.addBindValue(notNull(payee.notes));
    if (payee.id != 0) {
        query.addBindValue(payee.id);
    }
    if (!query.exec()) {
        return failQuery(what, query);
    }
    if (payee.id != 0 && query.numRowsAffected() == 0) {
        return FileResult::Fail(
            QStringLiteral("The payee \"%1\" is not in the payee book any more.").arg(PayeeName(payee.name)));
    }
    if (id != nullptr) {
        *id = payee.id != 0 ? payee.id : query.lastInsertId().toLongLong();
    }
    return FileResult::Ok();
}

FileResult CheckJournal::SavePayee(const Payee &payee, qint64 *id) {
    if (const QString fault = PayeeFault(payee); !fault.isEmpty()) {
        return FileResult::Fail(fault);
    }
    return transact(QStringLiteral("keep the payee"), [&] { return writePayee(payee, id); });
}

FileResult CheckJournal::DeletePayee(qint64 id) {
    const QString what = QStringLiteral("delete the payee");
    return transact(what, [&]() -> FileResult {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("DELETE FROM payees WHERE id = ?"));
        query.addBindValue(id);
        return query.exec() ? FileResult::Ok() : failQuery(what, query);
    });
}

FileResult CheckJournal::ImportPayees(const QList<Payee> &payees, int *added, int *changed) {
    *added = 0;
    *changed = 0;
    for (const Payee &payee : payees) {
        if (const QString fault = PayeeFault(payee); !fault.isEmpty()) {
            return FileResult::Fail(fault);
        }
    }
    const QString what = QStringLiteral("take in the payees");
    int newOnes = 0;
    int oldOnes = 0;
    FileResult result = transact(what, [&]() -> FileResult {
        QSqlQuery known(db_);
        known.prepare(QStringLiteral("SELECT id FROM payees WHERE name_key = ?"));
        for (Payee payee : payees) {
            known.bindValue(0, PayeeKey(payee.name));
            if (!known.exec()) {
                return failQuery(what, known);
            }
            payee.id = known.next() ? known.value(0).toLongLong() : 0;
            known.finish();
            (payee.id == 0 ? newOnes : oldOnes) += 1;
            if (FileResult written = writePayee(payee, nullptr); !written) {
                return written;
            }
        }
        return FileResult::Ok();
    });
    if (result) {
        *added = newOnes;
        *changed = oldOnes;
    }
    return result;
}

FileResult CheckJournal::LoadPayeeChoices(QList<PayeeChoice> &choices) {
    choices.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    const QString what = QStringLiteral("be read");
    QList<QString> used; // by choice: when last printed, as sortable text
    QHash<QString, qsizetype> byKey;
    QSqlQuery book(db_);
    book.setForwardOnly(true);
    if (!book.exec(QStringLiteral("SELECT name, memo, COALESCE(last_used, '') FROM payees"))) {
        return failQuery(what, book);
    }
    while (book.next()) {
        byKey.insert(PayeeKey(book.value(0).toString()), choices.size());
        choices.append({book.value(0).toString(), book.value(1).toString(), true});
        used.append(book.value(2).toString());
    }
    QSqlQuery printed(db_);
    printed.setForwardOnly(true);
    if (!printed.exec(QStringLiteral("SELECT c.payee, MAX(r.printed_at) FROM checks c JOIN runs r ON r.id = c.run_id "
                                     "WHERE c.status <> 'printing' GROUP BY c.payee"))) {
        return failQuery(what, printed);
    }
    while (printed.next()) {
        const QString name = printed.value(0).toString();
        const QString when = printed.value(1).toString();
        const QString key = PayeeKey(name);
        if (key.isEmpty()) {
            continue;
        }
        const auto known = byKey.constFind(key);
        if (known != byKey.cend()) {
            used[*known] = std::max(used[*known], when);
            continue;
        }
        byKey.insert(key, choices.size());
        choices.append({PayeeName(name), QString(), false});
        used.append(when);
    }
    QList<qsizetype> order(choices.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (used[a] != used[b]) {
            return used[a] > used[b];
        }
        return choices[a].name.compare(choices[b].name, Qt::CaseInsensitive) < 0;
    });
    QList<PayeeChoice> sorted;
    sorted.reserve(choices.size());
    for (const qsizetype i : std::as_const(order)) {
        sorted.append(choices[i]);
    }
    choices = sorted;
    return FileResult::Ok();
}

FileResult CheckJournal::PayeeAddresses(const QStringList &names, QHash<QString, QStringList> &addresses) {
    addresses.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT address_1, address_2, address_3, address_4 FROM payees WHERE name_key = ?"));
    QSet<QString> asked;
    for (const QString &name : names) {
        const QString key = PayeeKey(name);
        if (asked.contains(key)) {
            continue;
        }
        asked.insert(key);
        query.bindValue(0, key);
        if (!query.exec()) {
            return failQuery(QStringLiteral("be read"), query);
        }
        if (query.next()) {
            QStringList lines;
            for (int line = 0; line < kMostPayeeAddressLines; ++line) {
                lines << query.value(line).toString();
            }
            lines = TrimmedAddress(lines);
            if (!lines.isEmpty()) {
                addresses.insert(key, lines);
            }
        }
        query.finish();
    }
    return FileResult::Ok();
}
