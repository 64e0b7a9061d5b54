#include "history/HistoryDatabase.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QString NextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("quillane-history-") + QString::number(counter.fetchAndAddRelaxed(1) + 1);
}

bool Exec(QSqlDatabase &db, const QString &sql, QString &error) {
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        error = query.lastError().text();
        return false;
    }
    return true;
}

} // namespace

QString HistoryTablesSql() {
    return QStringLiteral(
        "CREATE TABLE runs(id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL, printer TEXT NOT NULL, "
        "style TEXT NOT NULL, account_no TEXT NOT NULL, bank_name TEXT NOT NULL, "
        "checks_on_first_sheet INTEGER NOT NULL);\n"
        "CREATE TABLE checks(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id), "
        "account_no TEXT NOT NULL, check_no INTEGER NOT NULL, date_printed TEXT NOT NULL, payee TEXT NOT NULL, "
        "amount_cents INTEGER NOT NULL, memo TEXT NOT NULL, sheet INTEGER NOT NULL, slot INTEGER NOT NULL, "
        "status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')), void_reason TEXT, void_date TEXT, "
        "reprinted_as INTEGER);\n"
        "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued';\n"
        "CREATE INDEX checks_check_no ON checks(check_no);\n"
        "CREATE INDEX checks_date ON checks(date_printed);\n"
        "CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE);\n"
        "PRAGMA user_version = 2");
}

HistoryConnection OpenHistoryDatabase(const QString &path) {
    HistoryConnection result;
    result.connectionName = NextConnectionName();
    const bool exists = QFileInfo::exists(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), result.connectionName);
        if (!db.isValid()) {
            result.error = QStringLiteral("the SQLite driver of Qt is not installed");
        } else {
            // An existing journal is opened as it is; a missing one is never created from here.
            db.setDatabaseName(exists ? path : QStringLiteral(":memory:"));
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open()) {
                result.error = db.lastError().text();
            } else if (!exists) {
                for (const QString &statement : HistoryTablesSql().split(QLatin1Char('\n'))) {
                    if (!Exec(db, statement, result.error)) {
                        break;
                    }
                }
            } else {
                QString error;
                // Reading the schema is the first real read: a file that is no database fails here.
                QSqlQuery check(db);
                if (!Exec(db, QStringLiteral("PRAGMA foreign_keys = ON"), error) ||
                    !Exec(db, QStringLiteral("PRAGMA synchronous = FULL"), error) ||
                    // Filters scan the table: keep it in memory between one filter and the next.
                    !Exec(db, QStringLiteral("PRAGMA cache_size = -32768"), error) ||
                    !Exec(db, QStringLiteral("PRAGMA mmap_size = 268435456"), error) ||
                    !check.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                               "name = 'checks'")) ||
                    !check.next()) {
                    result.error = error.isEmpty() ? check.lastError().text() : error;
                } else if (check.value(0).toInt() != 1) {
                    result.error = QStringLiteral("the file holds no check journal");
                }
            }
        }
    }
    if (!result.ok()) {
        CloseHistoryDatabase(result.connectionName);
    }
    return result;
}

void CloseHistoryDatabase(const QString &connectionName) {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.isOpen()) {
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
}

VoidOutcome VoidCheck(const QString &connectionName, qint64 checkId, const QString &reason, const QDate &date) {
    VoidOutcome outcome;
    const QString trimmed = reason.trimmed();
    if (trimmed.isEmpty()) {
        outcome.error = QStringLiteral("A reason for voiding the check is needed.");
        return outcome;
    }
    if (!date.isValid()) {
        outcome.error = QStringLiteral("The void date is not a valid date.");
        return outcome;
    }
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) {
        outcome.error = QStringLiteral("The check journal is not open.");
        return outcome;
    }
    if (!db.transaction()) {
        outcome.error = db.lastError().text();
        return outcome;
    }
    const auto rollback = [&](const QString &error) {
        db.rollback();
        outcome.error = error;
        return outcome;
    };
    QSqlQuery read(db);
    read.prepare(QStringLiteral("SELECT status, date_printed, check_no FROM checks WHERE id = ?"));
    read.addBindValue(checkId);
    if (!read.exec()) {
        return rollback(read.lastError().text());
    }
    if (!read.next()) {
        return rollback(QStringLiteral("The check is no longer in the journal."));
    }
    const QString status = read.value(0).toString();
    const QString printed = read.value(1).toString();
    const QString number = read.value(2).toString();
    read.finish();
    if (status != QLatin1String("issued")) {
        return rollback(QStringLiteral("Check ") + number + QStringLiteral(" is already void."));
    }
    const QString voidDate = date.toString(Qt::ISODate);
    if (voidDate < printed) {
        return rollback(QStringLiteral("The void date is before check ") + number + QStringLiteral(" was printed (") +
                        printed + QStringLiteral(")."));
    }
    QSqlQuery update(db);
    update.prepare(QStringLiteral(
        "UPDATE checks SET status = 'voided', void_reason = ?, void_date = ? WHERE id = ? AND status = 'issued'"));
    update.addBindValue(trimmed);
    update.addBindValue(voidDate);
    update.addBindValue(checkId);
    if (!update.exec()) {
        return rollback(update.lastError().text());
    }
    if (update.numRowsAffected() != 1) {
        return rollback(QStringLiteral("Check ") + number + QStringLiteral(" is already void."));
    }
    update.finish();
    if (!db.commit()) {
        return rollback(db.lastError().text());
    }
    outcome.ok = true;
    return outcome;
}
